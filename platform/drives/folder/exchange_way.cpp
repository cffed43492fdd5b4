#include <fcntl.h>

#include "platform/drives/folder/replacement_way.h"

namespace startgarten::platform {

namespace {

// The two names exchanged in one call (ext4, xfs, btrfs, tmpfs, vfat of Linux 6.1): the old
// version then waits under the new version's temporary name, and the same exchange takes it back.
class Exchange : public ReplacementWay {
 public:
  using ReplacementWay::ReplacementWay;

  int Start() override {
    const int error = Swap();
    beside_ = error != 0;
    return error;
  }

  int Finish() override { return versions_.Settle(versions_.newFat); }

  int TakeBack() override {
    if (const int error = Swap()) return error;
    beside_ = true;
    return versions_.Settle(versions_.oldFat);
  }

  const std::string* OldVersionName() const override { return &versions_.temporary; }

 private:
  int Swap() const {
    return versions_.Rename(versions_.temporary, versions_.name, RENAME_EXCHANGE);
  }
};

}  // namespace

std::unique_ptr<ReplacementWay> ExchangeWay(FolderVersions& versions) {
  return std::make_unique<Exchange>(versions);
}

}  // namespace startgarten::platform
