#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/drives/folder/replacement_way.h"

// The ways in which a file created anew takes its name: only where none has appeared since the
// command looked. Each takes back by giving the new version its temporary name again.
namespace startgarten::platform {

namespace {

class NewFile : public ReplacementWay {
 public:
  using ReplacementWay::ReplacementWay;

  int Finish() override { return versions_.Settle(versions_.newFat); }

  int TakeBack() override {
    if (const int error = versions_.Rename(versions_.name, versions_.temporary, 0)) return error;
    beside_ = true;
    return 0;
  }

 protected:
  // Ends Start: the new version has the file's name when the call succeeded.
  int Took(int error) {
    beside_ = error != 0;
    return error;
  }
};

// renameat2 RENAME_NOREPLACE, which fails where the name exists.
class NoReplace : public NewFile {
 public:
  using NewFile::NewFile;

  int Start() override {
    return Took(versions_.Rename(versions_.temporary, versions_.name, RENAME_NOREPLACE));
  }
};

// A link under the file's name, which fails where the name exists, and the temporary name
// removed. Both names hold the new version until the temporary one is gone; a crash in between
// leaves the file new and its temporary name for the next start to remove.
class LinkNew : public NewFile {
 public:
  using NewFile::NewFile;

  int Start() override {
    const int error = Took(versions_.Link(versions_.temporary, versions_.name));
    bothNames_ = error == 0;
    return error;
  }

  int Finish() override {
    if (const int error = versions_.Unlink(versions_.temporary)) return error;
    bothNames_ = false;
    return NewFile::Finish();
  }

  int TakeBack() override {
    if (!bothNames_) return NewFile::TakeBack();
    if (const int error = versions_.Unlink(versions_.name)) return error;
    beside_ = true;
    return 0;
  }

 private:
  bool bothNames_ = false;
};

// Without links, a plain rename: it would replace a file that another program created since the
// command looked, which the drive's lock keeps Startgarten itself from doing.
class CheckedRename : public NewFile {
 public:
  using NewFile::NewFile;

  int Start() override {
    struct stat existing;
    if (::fstatat(versions_.directory.Get(), versions_.name.c_str(), &existing,
                  AT_SYMLINK_NOFOLLOW) == 0) {
      return EEXIST;
    }
    return Took(versions_.Rename(versions_.temporary, versions_.name, 0));
  }
};

}  // namespace

std::unique_ptr<ReplacementWay> NoReplaceWay(FolderVersions& versions) {
  return std::make_unique<NoReplace>(versions);
}

std::unique_ptr<ReplacementWay> LinkNewWay(FolderVersions& versions) {
  return std::make_unique<LinkNew>(versions);
}

std::unique_ptr<ReplacementWay> CheckedRenameWay(FolderVersions& versions) {
  return std::make_unique<CheckedRename>(versions);
}

}  // namespace startgarten::platform
