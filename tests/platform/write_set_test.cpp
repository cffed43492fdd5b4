#include "platform/dos/write_set.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <map>
#include <string>

#include "platform/dos/write_record.h"
#include "platform/drives/temporary_names.h"
#include "platform/drives/writer_lock.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "support/byte_order.h"
#include "support/child_processes.h"
#include "support/disk_images.h"
#include "support/error_of.h"
#include "support/file_system_faults.h"
#include "support/samba_dos_attrib.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace test_support;

// An access ACL that gives one more user read access, in the kernel's xattr form: version 2,
// then each entry's tag (2 bytes), permissions (2 bytes) and id (4 bytes).
std::string AclWithUser(uint32_t user) {
  std::string acl;
  AppendLittleEndian(acl, 2, 4);
  const uint32_t entries[][3] = {
      {0x01, 6, ~0u}, {0x02, 4, user}, {0x04, 4, ~0u}, {0x10, 4, ~0u}, {0x20, 0, ~0u}};
  for (const auto& [tag, permissions, id] : entries)
    AppendLittleEndian(acl, tag | permissions << 16 | uint64_t{id} << 32, 8);
  return acl;
}

// A file's owner, permission bits and every extended attribute.
struct Metadata {
  uid_t owner;
  gid_t group;
  mode_t mode;
  std::map<std::string, std::string> attributes;
  bool operator==(const Metadata&) const = default;
};

Metadata MetadataOf(const fs::path& path) {
  struct stat status;
  EXPECT_EQ(::stat(path.c_str(), &status), 0);
  return {status.st_uid, status.st_gid, status.st_mode & 07777, ExtendedAttributes(path)};
}

void SetAttribute(const fs::path& path, const char* name, const std::string& value) {
  ASSERT_EQ(::setxattr(path.c_str(), name, value.data(), value.size(), 0), 0) << name;
}

// A replaced file keeps its owner and group, its exact permission bits, its ACL and every other
// extended attribute; a file created anew gives up only its read-only, hidden and system
// attributes, in the form user.DOSATTRIB had.
TEST(WriteSet, ReplacedFilesKeepOwnerPermissionsAclAndExtendedAttributes) {
  TempDrive drive;
  drive.Write("MSDOS.SYS", "[Options]\r\nBootGUI=1\r\n");
  drive.Write("AUTOEXEC.BAT", "@ECHO OFF\r\n");
  const bool root = ::geteuid() == 0;
  for (const char* name : {"MSDOS.SYS", "AUTOEXEC.BAT"}) {
    const fs::path path = drive.Host(name);
    SetAttribute(path, "user.comment", "kept");
    SetAttribute(path, "system.posix_acl_access", AclWithUser(4242));
    SetAttribute(path, "user.DOSATTRIB", SambaDosAttrib(4, 0x27));
    ASSERT_TRUE(!root || ::chown(path.c_str(), 4242, 4343) == 0);
  }
  fs::permissions(drive.Host("MSDOS.SYS"), fs::perms(0440));  // read-only, the ACL's mask r--
  const Metadata boot = MetadataOf(drive.Host("MSDOS.SYS"));
  Metadata batch = MetadataOf(drive.Host("AUTOEXEC.BAT"));
  EXPECT_TRUE(!root || boot.owner == 4242u);

  WriteSet writes({"C:\\MSDOS.SYS", "C:\\AUTOEXEC.BAT"});
  LiftProtection("C:\\MSDOS.SYS");
  WriteProfileString("C:\\MSDOS.SYS", "Options", "BootGUI", "0", "refused");
  CreateWholeFile("C:\\AUTOEXEC.BAT", "@ECHO ON\r\n", {"refused", "refused"});
  writes.Commit();

  EXPECT_EQ(drive.Read("MSDOS.SYS"), "[Options]\r\nBootGUI=0\r\n");
  EXPECT_EQ(MetadataOf(drive.Host("MSDOS.SYS")), boot);
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), "@ECHO ON\r\n");
  batch.attributes["user.DOSATTRIB"] = SambaDosAttrib(4, 0x20);
  EXPECT_EQ(MetadataOf(drive.Host("AUTOEXEC.BAT")), batch);
  EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), 0x27u);
  EXPECT_EQ(GetFileAttributes("C:\\AUTOEXEC.BAT"), 0x20u);
}

// A file with a second name outside the drive is replaced on the drive; the outside name keeps
// the old bytes. Reads and writes of a staged file see the staged content, and nothing reaches
// the disk before the commit or without one.
TEST(WriteSet, StagedFilesAreSeenAndOnlyCommittedOnesWritten) {
  TempDrive drive;
  drive.Write("AUTOEXEC.BAT", "old\r\n");
  fs::create_hard_link(drive.Host("AUTOEXEC.BAT"), drive.Base() / "outside");
  {
    WriteSet writes({"C:\\AUTOEXEC.BAT"});
    CreateWholeFile("C:\\autoexec.bat", "[A]\r\n", {"", ""});
    WriteProfileString("c:\\AUTOEXEC.BAT", "A", "k", "1", "");
    EXPECT_EQ(ReadWholeFile("C:\\AUTOEXEC.BAT", 100).bytes, "[A]\r\nk=1\r\n");
    EXPECT_EQ(ReadProfileString("C:\\AUTOEXEC.BAT", "a", "K", "", 10), "1");
    EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), "old\r\n");
  }
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), "old\r\n");
  WriteProfileString("c:\\AUTOEXEC.BAT", "A", "k", "2", "");
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), "old\r\n[A]\r\nk=2\r\n");
  EXPECT_EQ(ReadHostBytes(drive.Base() / "outside"), "old\r\n");
  EXPECT_EQ(drive.Entries(), std::set<std::string>{"AUTOEXEC.BAT"});
}

// Two writers at once, this process and a child, on a file system with locks and on one without,
// where a lock of this machine stands in: the second waits for the first, so every write gets
// through and none is lost. A writer that holds the lock past the wait is named by its program
// and process id, and nothing is written.
TEST(WriteSet, OneWriterAtATime) {
  constexpr int kWrites = 40;
  const auto writer = [](const char* key) {
    for (int n = 1; n <= kWrites; ++n) {
      WriteSet writes({"C:\\MSDOS.SYS"});
      const int read = std::stoi("0" + ReadProfileString("C:\\MSDOS.SYS", "Options", key, "", 16));
      WriteProfileString("C:\\MSDOS.SYS", "Options", key, std::to_string(read + 1), "refused");
      writes.Commit();
    }
  };
  for (const bool noLocks : {false, true}) {
    SCOPED_TRACE(noLocks ? "without locks" : "with locks");
    SetFaultPlan({.noLocks = noLocks});
    TempDrive drive;
    drive.Write("MSDOS.SYS", "[Options]\r\n");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) _exit(ErrorOf([&] { writer("Second"); }).empty() ? 0 : 1);
    writer("First");
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const char* key : {"First", "Second"})
      EXPECT_EQ(ReadProfileString("C:\\MSDOS.SYS", "Options", key, "", 16),
                std::to_string(kWrites));

    const std::string before = drive.Read("MSDOS.SYS").value_or("");
    const HoldingChild holder([] { static const WriteSet held({}); });
    SetWriterLockWait(std::chrono::milliseconds(100));
    const std::string holderName =
        FormatMessageText(messages::kLockHolder, "platform_test", std::to_string(holder.Pid()));
    EXPECT_EQ(ErrorOf([&] { writer("Third"); }),
              FormatMessageText(messages::kDriveLocked,
                                {fs::canonical(drive.Root()).string(), holderName}));
    SetWriterLockWait(std::chrono::seconds(5));
    EXPECT_EQ(drive.Read("MSDOS.SYS"), before);
  }
  SetFaultPlan({});
}

// Flushes failing from each one on: until the record is on the disk, nothing is written and
// nothing left; once the files are in place, they are taken back, but that cannot be flushed
// either, so the record stays and the next start completes the command.
TEST(WriteSet, TheRecordStaysUntilTheTakeBackIsFlushed) {
  TempDrive drive;
  const std::string takeBack =
      FormatMessageText(messages::kWriteTakeBackFailed, {messages::kNoFiles, "C:\\MSDOS.SYS"});
  std::string error = "none yet";
  for (unsigned long flush = 1; !error.empty(); ++flush) {
    SCOPED_TRACE("flushes failing from " + std::to_string(flush));
    drive.Write("MSDOS.SYS", "old");
    const std::string failed = error;
    SetFaultPlan({.failAt = flush, .error = EIO, .failCount = ULONG_MAX, .onlyFlushes = true});
    error = ErrorOf([] {
      WriteSet writes({"C:\\MSDOS.SYS"});
      CreateWholeFile("C:\\MSDOS.SYS", "new", {"refused", "refused"});
      writes.Commit();
    });
    SetFaultPlan({});
    // The flush after the files are put in place was the last to fail.
    EXPECT_TRUE(!error.empty() || failed == takeBack) << failed;
    const bool recorded = drive.Entries().count(kWriteRecordName) == 1;
    EXPECT_EQ(recorded, error == takeBack) << error;
    EXPECT_EQ(drive.Read("MSDOS.SYS"), error.empty() ? "new" : "old");
    CleanUpInterruptedWrites({"C:\\MSDOS.SYS"});
    EXPECT_EQ(drive.Read("MSDOS.SYS"), error.empty() || recorded ? "new" : "old");
  }
}

// A file that refuses renameat2's flags now (EPERM: immutable, in a sticky folder) is replaced
// another way, and the next command exchanges the names again: the file system has the call.
TEST(WriteSet, ACallRefusedByAFileIsTriedAgainByTheNextCommand) {
  TempDrive drive;
  drive.Write("MSDOS.SYS", "[Options]\r\n");
  const auto operations = [](const char* value, FaultPlan plan) {
    SetFaultPlan(plan);
    WriteSet writes({"C:\\MSDOS.SYS"});
    WriteProfileString("C:\\MSDOS.SYS", "Options", "Key", value, "refused");
    writes.Commit();
    return OperationsPerformed();
  };
  operations("0", {});
  const unsigned long exchanged = operations("1", {});
  EXPECT_GT(operations("2", {.refusedRenameFlags = true}), exchanged);
  EXPECT_EQ(operations("3", {}), exchanged);
  SetFaultPlan({});
  EXPECT_EQ(ReadProfileString("C:\\MSDOS.SYS", "Options", "Key", "", 8), "3");
}

// Temporary names are valid 8.3 names (eight characters, a dot, three) of characters every FAT
// file system takes, unique per process and file; only ours are taken for leftovers.
TEST(WriteSet, TemporaryNamesAreShortNamesAndOnlyOursAreRemoved) {
  const std::string valid83 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789~";
  std::set<std::string> names;
  for (unsigned index = 0; index < 256; ++index) {
    const std::string name = TemporaryName(index);
    EXPECT_TRUE(name.size() == 12 && name.find('.') == 8 && IsTemporaryName(name)) << name;
    EXPECT_EQ((name.substr(0, 8) + name.substr(9)).find_first_not_of(valid83), std::string::npos);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 256u);
  TempDrive drive;
  for (const char* name : {"SG00ABCD.~01", "sg00abcd.~ff", "MSDOS.SYS.startgarten-new",
                           "SG00ABCD.TMP", "SGX0ABCD.~01", "SG00ABCD.~01X", "MSDOS.SYS"})
    drive.Write(name, "x");
  fs::create_directory(drive.Host("SG000001.~02"));
  CleanUpInterruptedWrites({"C:\\MSDOS.SYS"});
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"MSDOS.SYS", "SG000001.~02", "SG00ABCD.TMP",
                                                    "SG00ABCD.~01X", "SGX0ABCD.~01"}));
}

}  // namespace
}  // namespace startgarten::platform
