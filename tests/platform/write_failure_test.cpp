#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cerrno>
#include <functional>
#include <string>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/windows_error.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::platform {
namespace {

using test_support::TempDrive;

// Makes each single file operation of a write fail in turn, with each errno a full or broken
// disk or a refusal gives, and checks that the file is always either exactly the old or exactly
// the new one, that a reported success means the new one, and that no temporary file is left.
class WriteFailure : public ::testing::Test {
 protected:
  ~WriteFailure() override { file_system::SetFaultPlan({}); }

  // oldBytes empty: the file does not exist before the write.
  void CheckEveryStep(const std::string& oldBytes, const std::string& newBytes,
                      const std::function<bool()>& write) {
    Prepare(oldBytes);
    file_system::SetFaultPlan({});
    ASSERT_TRUE(write());
    const unsigned long steps = file_system::OperationsPerformed();
    ASSERT_EQ(drive_.Read("MSDOS.SYS"), newBytes);

    int failures = 0;
    for (const int error : {ENOSPC, EIO, EACCES}) {
      for (unsigned long step = 1; step <= steps; ++step) {
        Prepare(oldBytes);
        file_system::SetFaultPlan({step, error});
        const bool succeeded = write();
        file_system::SetFaultPlan({});
        const std::optional<std::string> now = drive_.Read("MSDOS.SYS");
        const std::optional<std::string> old =
            oldBytes.empty() ? std::nullopt : std::optional(oldBytes);
        EXPECT_TRUE(now == old || now == newBytes) << "step " << step << " errno " << error;
        if (succeeded) {
          EXPECT_EQ(now, newBytes) << "step " << step << " errno " << error;
        }
        failures += !succeeded;
        const std::set<std::string> expected =
            now ? std::set<std::string>{"MSDOS.SYS"} : std::set<std::string>{};
        EXPECT_EQ(drive_.Entries(), expected) << "step " << step << " errno " << error;
        if (now) {
          EXPECT_EQ(GetFileAttributes("c:\\msdos.sys") & kAttributeHidden, hidden_);
        }
      }
    }
    EXPECT_GT(failures, 0);
  }

  void Prepare(const std::string& bytes) {
    std::filesystem::remove(drive_.Host("MSDOS.SYS"));
    if (bytes.empty()) return;
    drive_.Write("MSDOS.SYS", bytes);
    if (hidden_) ::setxattr(drive_.Host("MSDOS.SYS").c_str(), "user.DOSATTRIB", "0x2", 3, 0);
  }

  TempDrive drive_;
  uint32_t hidden_ = 0;
};

TEST_F(WriteFailure, ProfileWriteOfAnExistingFile) {
  hidden_ = kAttributeHidden;
  CheckEveryStep("[Options]\r\nBootGUI=0\r\n", "[Options]\r\nBootGUI=1\r\n",
                 [] { return WriteProfileString("c:\\msdos.sys", "Options", "BootGUI", "1"); });
}

TEST_F(WriteFailure, ProfileWriteOfANewFile) {
  CheckEveryStep("", "[Options]\r\nBootGUI=1\r\n",
                 [] { return WriteProfileString("C:\\MSDOS.SYS", "Options", "BootGUI", "1"); });
}

TEST_F(WriteFailure, CreateWholeFileOverAnExistingFile) {
  CheckEveryStep("old\r\n", "new\r\ncontent\r\n", [] {
    return CreateWholeFile("c:\\msdos.sys", "new\r\ncontent\r\n").failure ==
           platform::WriteFailure::kNone;
  });
}

TEST_F(WriteFailure, CreateWholeFileTellsCreatingFromWriting) {
  drive_.Write("MSDOS.SYS", "old");
  file_system::SetFaultPlan({2, ENOSPC});  // unlinking a stale file, then creating the new one
  WriteFileResult result = CreateWholeFile("c:\\msdos.sys", "new");
  EXPECT_EQ(result.failure, platform::WriteFailure::kCreate);
  EXPECT_EQ(result.error, kErrorDiskFull);
  file_system::SetFaultPlan({3, EIO});  // the first write
  result = CreateWholeFile("c:\\msdos.sys", "new");
  EXPECT_EQ(result.failure, platform::WriteFailure::kWrite);
  EXPECT_EQ(result.error, kErrorIoDevice);
  EXPECT_EQ(drive_.Read("MSDOS.SYS"), "old");
}

TEST_F(WriteFailure, AttributeChangeReportsTheError) {
  drive_.Write("MSDOS.SYS", "");
  file_system::SetFaultPlan({2, EACCES});  // after opening the file
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", kAttributeHidden), kErrorAccessDenied);
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive);
}

}  // namespace
}  // namespace startgarten::platform
