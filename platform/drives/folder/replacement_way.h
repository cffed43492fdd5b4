#pragma once

#include <memory>
#include <string>

#include "platform/drives/folder/folder_versions.h"

// One way of putting a new version, written beside its file under a temporary name, in place of
// the file, with its take-back beside it. Each replaces the file in one step, so that the file is
// never missing and a crash leaves it old or new; that the files of one command are all old or
// all new across a crash is the write set's record, which names where each new version waits.
// Which way a file takes is chosen in one place (way_choice.h). Every call answers 0 or an errno
// value.
namespace startgarten::platform {

class ReplacementWay {
 public:
  explicit ReplacementWay(FolderVersions& versions) : versions_(versions) {}
  virtual ~ReplacementWay() = default;
  ReplacementWay(const ReplacementWay&) = delete;
  ReplacementWay& operator=(const ReplacementWay&) = delete;

  // The call the way rests on (renameat2 with its flag, link), or for the last way all it does
  // before the new version is in place. It changes nothing when it fails.
  virtual int Start() = 0;
  // The rest, once Start has succeeded. A failure may leave the new version in place, which
  // TakeBack then undoes.
  virtual int Finish() = 0;
  // Puts the old version back: the new one waits beside the file again under its temporary name.
  virtual int TakeBack() = 0;
  // Where the old version waits on the drive until the command is done; none when only memory
  // keeps it.
  virtual const std::string* OldVersionName() const { return nullptr; }

  // Whether the new version waits beside the file under its temporary name: before Start, once
  // taken back, and after a failure that left or brought it there.
  bool Beside() const { return beside_; }

 protected:
  FolderVersions& versions_;
  bool beside_ = true;
};

// The ways of replacing a file that exists, best first.
// The two names exchanged (renameat2 RENAME_EXCHANGE).
std::unique_ptr<ReplacementWay> ExchangeWay(FolderVersions& versions);
// A second name for the old version (link), then a plain rename over the file.
std::unique_ptr<ReplacementWay> LinkAsideWay(FolderVersions& versions);
// A plain rename over the file, the old version's bytes kept in memory.
std::unique_ptr<ReplacementWay> CopyInMemoryWay(FolderVersions& versions);

// The ways of giving a file created anew its name, best first (new_file_ways.cpp).
// renameat2 RENAME_NOREPLACE.
std::unique_ptr<ReplacementWay> NoReplaceWay(FolderVersions& versions);
// A link under the file's name, the temporary name removed.
std::unique_ptr<ReplacementWay> LinkNewWay(FolderVersions& versions);
// A plain rename after looking that no file of the name has appeared.
std::unique_ptr<ReplacementWay> CheckedRenameWay(FolderVersions& versions);

}  // namespace startgarten::platform
