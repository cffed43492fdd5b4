#include <cerrno>

#include "platform/drives/folder/replacement_way.h"

namespace startgarten::platform {

namespace {

// Where renameat2 has no flags but the file system has links (FUSE, NFS, CIFS, 9p): a second name
// for the old version, then a plain rename of the new one over the file, so that the file keeps a
// name throughout. The old version waits under a temporary name of its own; a take-back gives the
// new version its temporary name again and renames the old one over the file.
class LinkAside : public ReplacementWay {
 public:
  using ReplacementWay::ReplacementWay;

  // A second name left by a crashed process of the same id is replaced.
  int Start() override {
    int error = versions_.Link(versions_.name, versions_.oldVersion);
    if (error == EEXIST) {
      error = versions_.Unlink(versions_.oldVersion);
      if (!error) error = versions_.Link(versions_.name, versions_.oldVersion);
    }
    if (!error) beside_ = false;
    return error;
  }

  int Finish() override {
    if (const int error = versions_.Rename(versions_.temporary, versions_.name, 0)) {
      versions_.Unlink(versions_.oldVersion);
      beside_ = true;
      return error;
    }
    return versions_.Settle(versions_.newFat);
  }

  int TakeBack() override {
    if (const int error = versions_.Link(versions_.name, versions_.temporary)) return error;
    if (const int error = versions_.Rename(versions_.oldVersion, versions_.name, 0)) {
      versions_.Unlink(versions_.temporary);
      return error;
    }
    beside_ = true;
    return versions_.Settle(versions_.oldFat);
  }

  const std::string* OldVersionName() const override { return &versions_.oldVersion; }
};

}  // namespace

std::unique_ptr<ReplacementWay> LinkAsideWay(FolderVersions& versions) {
  return std::make_unique<LinkAside>(versions);
}

}  // namespace startgarten::platform
