#include "platform/dos/write_record.h"

#include <memory>
#include <optional>

#include "platform/dos/dos_path.h"
#include "platform/dos/write_set.h"
#include "platform/drives/drive_path.h"
#include "platform/drives/temporary_names.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

// Far above a record of a few files, far below what could hurt to read.
constexpr size_t kRecordLimit = size_t{64} << 10;

std::string RecordDosPath() {
  return std::string("C:\\") + kWriteRecordName;
}

// A file of the record, found to be one of the command's: the file it names, and the version of
// it that is held from its check to its move.
struct Step {
  const RecordedFile* recorded;
  const DosFile* file;
  std::unique_ptr<FoundVersion> version;
};

// The file of the command that a record's file names, none when it names no such file: a command
// writes its files on their drives, each new version under a temporary name beside its file, and
// nothing larger than a command writes.
const DosFile* CommandFileOf(const RecordedFile& recorded, const std::vector<DosFile>& files) {
  const auto [directory, name] = SplitDrivePath(recorded.path);
  const auto [temporaryDirectory, temporaryName] = SplitDrivePath(recorded.temporary);
  if (temporaryDirectory != directory || !IsNewVersionName(temporaryName) ||
      recorded.size > kLargestCommandFile) {
    return nullptr;
  }
  for (const DosFile& file : files) {
    if (!file.error && (ToLowerCp1252(file.dosPath.at(0)) == recorded.letter) &&
        file.path == recorded.path) {
      return &file;
    }
  }
  return nullptr;
}

// The steps of a record that a command of this program could have left, in its order; none for
// anything else.
std::vector<Step> StepsOf(const std::vector<RecordedFile>& recorded,
                          const std::vector<DosFile>& files) {
  std::vector<Step> steps;
  for (const RecordedFile& file : recorded) {
    const DosFile* commandFile = CommandFileOf(file, files);
    for (const Step& step : steps) {
      if (step.file == commandFile) commandFile = nullptr;  // a command writes a file once
    }
    if (!commandFile) return {};
    steps.push_back({&file, commandFile, nullptr});
  }
  return steps;
}

bool IsNewVersion(const FoundVersion& version, const RecordedFile& file) {
  const ReadFileResult& read = version.Read();
  return !read.error && !read.tooLarge && read.bytes.size() == file.size &&
         Fingerprint(read.bytes) == file.fingerprint;
}

// The version of the step's file that is its new one, under its own name or beside it.
std::unique_ptr<FoundVersion> FindNewVersion(const Step& step) {
  Drive& drive = *step.file->drive;
  const RecordedFile& file = *step.recorded;
  std::unique_ptr<FoundVersion> version =
      drive.FindVersion(file.path, SplitDrivePath(file.path).second, file.size);
  if (IsNewVersion(*version, file)) return version;
  version = drive.FindVersion(file.path, SplitDrivePath(file.temporary).second, file.size);
  return IsNewVersion(*version, file) ? std::move(version) : nullptr;
}

[[noreturn]] void Unfinished() {
  throw Error(FormatMessageText(messages::kWriteRecordUnfinished, RecordDosPath()));
}

// A completion that stopped: the files whose new version is in place now are named, as far as
// there are any.
[[noreturn]] void Stopped(const std::vector<Step>& steps) {
  std::string added;
  for (const Step& step : steps) {
    const RecordedFile& file = *step.recorded;
    const std::unique_ptr<FoundVersion> now =
        step.file->drive->FindVersion(file.path, SplitDrivePath(file.path).second, file.size);
    if (IsNewVersion(*now, file)) added += (added.empty() ? "" : ", ") + step.file->dosPath;
  }
  if (added.empty()) Unfinished();
  throw Error(FormatMessageText(messages::kWriteRecordStopped, added, RecordDosPath()));
}

// A record cut off before its end line: the command had not put any file in place, so the old
// files stand, and what it wrote beside them goes with its record.
void Withdraw(Drive& driveC, const std::vector<DosFile>& files) {
  driveC.Remove(kWriteRecordName);
  driveC.RemoveTemporaryFiles("");
  for (const DosFile& file : files) {
    if (!file.error) file.drive->RemoveTemporaryFiles(SplitDrivePath(file.path).first);
  }
}

}  // namespace

void CompleteInterruptedCommand(Drive& driveC, const std::vector<std::string>& commandFiles) {
  if (!driveC.Status(kWriteRecordName).exists) return;
  std::vector<DosFile> files;
  files.reserve(commandFiles.size());
  for (const std::string& dosPath : commandFiles) files.push_back(ResolveDosPath(dosPath));
  const ReadFileResult read = driveC.ReadFile(kWriteRecordName, kRecordLimit);
  const bool whole = !read.error && !read.tooLarge;
  if (whole && IsCutOffWriteRecord(read.bytes)) {
    Withdraw(driveC, files);
    return;
  }
  const std::optional<std::vector<RecordedFile>> recorded =
      whole ? ParseWriteRecord(read.bytes) : std::nullopt;
  std::vector<Step> steps = recorded ? StepsOf(*recorded, files) : std::vector<Step>();
  if (steps.empty()) {
    throw Error(FormatMessageText(messages::kWriteRecordForeign, RecordDosPath()));
  }
  // First every file is looked at, so that nothing changes unless the whole command can be
  // completed.
  for (Step& step : steps) {
    if (!(step.version = FindNewVersion(step))) Unfinished();
  }
  // The command put the file it staged last in place first.
  for (size_t i = steps.size(); i-- > 0;) {
    if (steps[i].version->PutInPlace(steps[i].recorded->attributes) != kErrorSuccess)
      Stopped(steps);
  }
  driveC.Remove(kWriteRecordName);
}

}  // namespace startgarten::platform
