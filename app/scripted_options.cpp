#include "app/scripted_options.h"

#include <optional>
#include <vector>

#include "app/form_controls.h"
#include "app/nearest_name.h"
#include "app/program_messages.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/number_text.h"

namespace startgarten {

std::array<ScriptedOption, 17> ScriptedOptions(OptionControls options) {
  return {{
      {"BootMenu", &options.bootMenu},
      {"BootKeys", &options.functionKeys},
      {"BootGUI", &options.startWindows},
      {"Network", &options.network},
      {"BootFailSafe", &options.safeMode},
      {"BootWarn", &options.safeModeWarning},
      {"BootMulti", &options.previousDos},
      {"DblSpace", &options.doubleSpace},
      {"DrvSpace", &options.driveSpace},
      {"LoadTop", &options.loadTop},
      {"Logo", &options.logo},
      {"DosPrompt", &options.dosPromptAfterExit},
      {"BootMenuDefault", &options.bootMenuDefault},
      {"BootMenuDelay", &options.bootMenuDelay},
      {"BootDelay", &options.bootDelay},
      {"BootWin", &options.defaultSystem},
      {"DoubleBuffer", &options.doubleBuffer},
  }};
}

namespace {

template <typename... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <typename... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

// The options as the window is designed: the number of entries of the list and the groups.
const std::array<ScriptedOption, 17>& DesignedOptions() {
  static FormControls controls;
  static const std::array<ScriptedOption, 17> options = ScriptedOptions(controls.Options());
  return options;
}

// The value of a choice between first and last, written as the number alone ("2", not "02" or
// "+2"); none otherwise.
std::optional<int> Choice(std::string_view value, int first, int last) {
  const std::optional<int32_t> number = TryStrToInt(value);
  if (!number || IntToStr(*number) != value || *number < first || *number > last) {
    return std::nullopt;
  }
  return *number;
}

std::string ChoicesText(int first, int last) {
  const char* pattern =
      last == first + 1 ? messages::kCommandLineValuesEither : messages::kCommandLineValuesRange;
  return FormatMessageText(pattern, IntToStr(first), IntToStr(last));
}

int LastItem(const std::vector<std::string>& items) {
  return static_cast<int>(items.size()) - 1;
}

// What the option takes, for the message when a value is not among it; empty when it takes the
// value.
std::string RefusedValue(const ScriptedOption& option, std::string_view value) {
  return std::visit(
      Overloaded{
          [&](const TCheckBox*) { return Choice(value, 0, 1) ? std::string() : ChoicesText(0, 1); },
          [&](const TComboBox* box) {
            const int entries = LastItem(box->Items()) + 1;
            return Choice(value, 1, entries) ? std::string() : ChoicesText(1, entries);
          },
          [&](const TSpinEdit*) {
            return TryStrToInt(value) ? std::string() : messages::kCommandLineValuesInteger;
          },
          [&](const TRadioGroup* group) {
            const int last = LastItem(group->Items());
            return Choice(value, 0, last) ? std::string() : ChoicesText(0, last);
          },
      },
      option.control);
}

}  // namespace

OptionSetting ParseOptionSetting(std::string_view argument) {
  const size_t equals = argument.find('=');
  if (equals == std::string_view::npos) {
    throw Error(FormatMessageText(messages::kCommandLineMissingEquals, Utf8ToCp1252(argument)));
  }
  const std::string name = Utf8ToCp1252(argument.substr(0, equals));
  const std::string value = Utf8ToCp1252(argument.substr(equals + 1));
  for (const ScriptedOption& option : DesignedOptions()) {
    if (!EqualsIgnoreCase(option.name, name)) continue;
    if (const std::string takes = RefusedValue(option, value); !takes.empty()) {
      const std::string pattern =
          FormatMessageText(messages::kCommandLineBadValue, option.name, takes);
      throw Error(FormatMessageText(pattern, value));
    }
    return {option.name, value};
  }
  std::vector<std::string_view> names;
  for (const ScriptedOption& option : DesignedOptions()) names.push_back(option.name);
  if (const std::optional<std::string_view> meant = NearestName(name, names)) {
    throw Error(FormatMessageText(messages::kCommandLineUnknownNameNear, name, *meant));
  }
  throw Error(FormatMessageText(messages::kCommandLineUnknownName, name));
}

bool ApplyOptionSetting(OptionControls options, const OptionSetting& setting) {
  const std::string& value = setting.value;
  for (const ScriptedOption& option : ScriptedOptions(options)) {
    if (option.name != setting.name) continue;
    return std::visit(Overloaded{
                          [&](TCheckBox* box) {
                            if (!box->Enabled()) return false;
                            if (box->Checked() != (value == "1")) box->UserClick();
                            return true;
                          },
                          [&](TComboBox* box) {
                            box->UserChoose(TryStrToInt(value).value_or(0) - 1);
                            return true;
                          },
                          [&](TSpinEdit* edit) {
                            edit->UserSetText(value);
                            return true;
                          },
                          [&](TRadioGroup* group) {
                            group->UserClick(TryStrToInt(value).value_or(-1));
                            return true;
                          },
                      },
                      option.control);
  }
  return false;
}

std::string ShowOptions(OptionControls options) {
  std::string lines;
  for (const ScriptedOption& option : ScriptedOptions(options)) {
    const int32_t value =
        std::visit(Overloaded{
                       [](const TCheckBox* box) { return int32_t{box->Checked()}; },
                       [](const TComboBox* box) { return box->ItemIndex() + 1; },
                       [](const TSpinEdit* edit) { return edit->Value(); },
                       [](const TRadioGroup* group) { return group->ItemIndex(); },
                   },
                   option.control);
    lines.append(option.name).append("=").append(IntToStr(value)).append("\n");
  }
  return lines;
}

}  // namespace startgarten
