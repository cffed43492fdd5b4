#include "app/scripted_command.h"

#include <optional>

#include "app/drive_c_notice.h"
#include "app/form1.h"
#include "app/program_messages.h"
#include "app/unified_diff.h"
#include "bootfile/boot_file.h"
#include "bootfile/boot_options.h"
#include "platform/profile.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

namespace {

// The message boxes of a command without a window. The question before writing is answered with
// OK: the command line is the user's confirmation. Every other box is an error, kept as a line
// for standard error: its text, and its title where that says more than the program's name.
class PrintedMessageBoxes : public MessageBoxService {
 public:
  explicit PrintedMessageBoxes(const std::string& applicationTitle)
      : applicationTitle_(applicationTitle) {}

  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon /*icon*/) override {
    const bool question = buttons == MessageButtons::kOkCancel;
    if (question && text == messages::kConfirmRewrite) return MessageResult::kOk;
    const bool titled = !title.empty() && title != applicationTitle_;
    lines_ += FormatMessageText(messages::kCommandLineError, titled ? text + ": " + title : text);
    return question ? MessageResult::kCancel : MessageResult::kOk;
  }

  const std::string& Lines() const { return lines_; }

  // The window shows what it read from a file that it found but could not read as if the file
  // were missing, for the user to see; a script has no one to see it, so it is an error.
  void AddUnreadableFiles() {
    if (const std::optional<platform::UnreadableProfile> file = platform::TakeUnreadableProfile()) {
      const std::string reason = platform::SystemErrorText(file->error);
      lines_ += FormatMessageText(messages::kCommandLineUnreadable, reason, file->dosPath);
    }
  }

 private:
  const std::string& applicationTitle_;
  std::string lines_;
};

// What the write command would change, with nothing written; the same errors as the write.
ScriptedOutcome DryRun(TForm1& form, PrintedMessageBoxes& boxes) {
  std::vector<platform::StagedChange> changes;
  form.HandleEvent([&] { changes = PreviewBootOptions(form.Options(), boxes); });
  boxes.AddUnreadableFiles();
  if (!boxes.Lines().empty()) return {1, "", boxes.Lines()};
  std::string output;
  for (const platform::StagedChange& change : changes) {
    const std::string diff = UnifiedDiff(change.dosPath, change.before, change.after);
    output += diff.empty() ? FormatMessageText(messages::kDryRunUnchanged, change.dosPath) : diff;
  }
  return {0, output, ""};
}

}  // namespace

ScriptedOutcome RunScriptedCommand(const ScriptedRequest& request,
                                   const std::string& applicationTitle) {
  if (const std::optional<std::string> lookedFor = MissingDriveCLookedFor()) {
    return {1, "", FormatMessageText(messages::kCommandLineDriveCMissing, *lookedFor)};
  }
  PrintedMessageBoxes boxes(applicationTitle);
  TForm1 form(boxes, applicationTitle);
  platform::TakeUnreadableProfile();  // not this command's
  form.HandleEvent([&form] {
    RemoveLeftoversOfInterruptedWrites();
    form.Auslesen();
  });
  boxes.AddUnreadableFiles();
  if (!boxes.Lines().empty()) return {1, "", boxes.Lines()};
  if (request.show) return {0, ShowOptions(form.Options()), ""};

  if (request.standard) form.HandleEvent([&form] { form.BitBtn2Click(); });
  for (const OptionSetting& setting : request.settings) {
    bool applied = true;
    form.HandleEvent([&] { applied = ApplyOptionSetting(form.Options(), setting); });
    if (!boxes.Lines().empty()) break;
    if (!applied) {
      return {2, "", FormatMessageText(messages::kCommandLineDisabledOption, setting.name)};
    }
  }
  if (!boxes.Lines().empty()) return {1, "", boxes.Lines()};
  if (request.dryRun) return DryRun(form, boxes);
  form.HandleEvent([&form] { form.StartDateischreiben1Click(); });
  boxes.AddUnreadableFiles();
  return {boxes.Lines().empty() ? 0 : 1, "", boxes.Lines()};
}

}  // namespace startgarten
