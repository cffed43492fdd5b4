#include "platform/drives/folder/way_choice.h"

#include <array>
#include <cerrno>

namespace startgarten::platform {

namespace {

// A way, and the drive's call that it rests on; the last way of each list rests on a plain rename
// alone and has none.
struct Option {
  bool FolderCalls::*call;
  std::unique_ptr<ReplacementWay> (*make)(FolderVersions&);
};

constexpr std::array<Option, 3> kReplacing = {{{&FolderCalls::exchange, ExchangeWay},
                                               {&FolderCalls::links, LinkAsideWay},
                                               {nullptr, CopyInMemoryWay}}};
constexpr std::array<Option, 3> kCreating = {{{&FolderCalls::noReplace, NoReplaceWay},
                                              {&FolderCalls::links, LinkNewWay},
                                              {nullptr, CheckedRenameWay}}};

// Whether an errno value says that the file system lacks the call or its flags (FUSE, NFS and
// CIFS answer renameat2's flags with EINVAL), rather than that it failed.
bool LacksCall(int error) {
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// FAT has no links: there link answers EPERM, which elsewhere means that this file refuses one, so
// there it is never tried.
bool Offers(const FolderCalls& calls, bool FolderCalls::*call, bool onFat) {
  return calls.*call && !(call == &FolderCalls::links && onFat);
}

}  // namespace

Placement PutInPlaceBestWay(FolderVersions& versions, FolderCalls& calls) {
  Placement placement;
  for (const Option& option : versions.old.IsOpen() ? kReplacing : kCreating) {
    if (option.call && !Offers(calls, option.call, versions.onFat)) continue;
    std::unique_ptr<ReplacementWay> way = option.make(versions);
    placement.error = way->Start();
    if (!placement.error) {
      placement.error = way->Finish();
      placement.way = std::move(way);
      return placement;
    }
    if (!option.call) return placement;
    // A call that the file system lacks is not tried again on this drive; one that this file or
    // folder refuses now (EPERM: an immutable file, a sticky folder, protected hard links) sends
    // only this file on, and the next command tries it again.
    if (LacksCall(placement.error)) {
      calls.*option.call = false;
    } else if (placement.error != EPERM) {
      return placement;
    }
  }
  return placement;
}

}  // namespace startgarten::platform
