#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/bindfs_folder.h"
#include "support/file_system_faults.h"

// The file systems a drive folder lives on in the tests of the write command: the temporary
// directory, the same with calls left out as other file systems lack them, a FUSE folder, and
// the mount that STARTGARTEN_TEST_MOUNT names (a FAT or 9p mount in the kernel test bed,
// scripts/kernel-test.sh, which names its kind in STARTGARTEN_TEST_FS).
namespace startgarten::test_support {

struct DriveHome {
  enum class Where { kTemporary, kFuse, kMount };

  std::string name;
  Where where = Where::kTemporary;
  // What the tests' file system leaves out of its calls there.
  bool noRenameFlags = false;
  bool noLinks = false;
  // The msdos driver sets or clears the hidden attribute on every rename from the new name's
  // first letter: a replaced file has its hidden attribute again only once it is set after the
  // rename, which a crash in between leaves to the next start.
  bool renameSetsHidden = false;

  // The plan with the home's missing calls.
  FaultPlan Model(FaultPlan plan = {}) const {
    plan.noRenameFlags = noRenameFlags;
    plan.noLinks = noLinks;
    return plan;
  }
};

inline std::vector<DriveHome> DriveHomes() {
  std::vector<DriveHome> homes = {
      {"Temporary"},
      // FUSE, NFS and CIFS answer renameat2's flags with EINVAL.
      {"WithoutRenameFlags", DriveHome::Where::kTemporary, true},
      // The msdos driver neither exchanges names nor has links.
      {"WithoutRenameFlagsAndLinks", DriveHome::Where::kTemporary, true, true},
      {"Fuse", DriveHome::Where::kFuse}};
  if (const char* kind = std::getenv("STARTGARTEN_TEST_FS");
      kind && std::getenv("STARTGARTEN_TEST_MOUNT"))
    homes.push_back({std::string("Mount_") + kind, DriveHome::Where::kMount, false, false,
                     std::string(kind) == "msdos"});
  return homes;
}

// One FUSE folder for the whole test program, unmounted when it ends; empty, and why in whyNot,
// when this machine cannot mount one.
inline std::filesystem::path SharedFuseFolder(std::string* whyNot) {
  static std::string failure;
  static const std::unique_ptr<BindfsFolder> folder = [] {
    try {
      return std::make_unique<BindfsFolder>();
    } catch (const std::exception& error) {
      failure = error.what();
      return std::unique_ptr<BindfsFolder>();
    }
  }();
  if (whyNot) *whyNot = failure;
  return folder ? folder->Mount() : std::filesystem::path();
}

inline void PrintTo(const DriveHome& home, std::ostream* out) {
  *out << home.name;
}

inline std::string DriveHomeName(const testing::TestParamInfo<DriveHome>& info) {
  return info.param.name;
}

}  // namespace startgarten::test_support
