#include "platform/mtools.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>

#include "platform/image_volume.h"
#include "platform/windows_error.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace std::chrono_literals;
using test_support::DiskImage;

// Sets environment variables for the lifetime of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> variables) {
    for (const auto& [name, value] : variables) {
      const char* old = std::getenv(name);
      saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
      ::setenv(name, value.c_str(), 1);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// A user's configuration and environment that would change names and behaviour, or stop mtools
// altogether, if any of it reached the programs.
TEST(Mtools, AUsersSettingsChangeNothing) {
  test_support::TempDrive scratch;
  const DiskImage image = test_support::MakeFloppy(scratch.Base() / "floppy.img");
  test_support::PutFiles(image, {{"lower.txt", "lower", ""}, {"Mixed.Txt", "old", ""}});
  const std::string broken = "this line is no setting\ndrive a: file=\"/dev/null\" precmd=\"x\"\n";
  test_support::WriteHostBytes(scratch.Base() / ".mtoolsrc", broken);
  test_support::WriteHostBytes(scratch.Base() / "other.rc", broken);
  const ScopedEnvironment user({{"HOME", scratch.Base().string()},
                                {"MTOOLSRC", (scratch.Base() / "other.rc").string()},
                                {"MTOOLS_LOWER_CASE", "1"},
                                {"MTOOLS_NO_VFAT", "1"},
                                {"MTOOLS_NAME_NUMERIC_TAIL", "0"},
                                {"MTOOLS_DATE_STRING", "dd.mm.yyyy"},
                                {"LC_ALL", "C"},
                                {"MCWD", (scratch.Base() / "mcwd").string()}});

  ImageVolume volume(image.path);
  EXPECT_EQ(volume.Find("LOWER.TXT").entry.name, "lower.txt");
  ImageReplacement replacement;
  for (const char* target : {"mixed.txt", "M\xFCll Datei.txt"}) {  // code page 1252
    const TemporaryFile temporary = volume.WriteTemporary("", 0, "new", kAttributeArchive);
    ASSERT_EQ(temporary.error, kErrorSuccess) << target;
    ASSERT_EQ(volume.Replace("", temporary.name, target, replacement), kErrorSuccess) << target;
  }
  EXPECT_EQ(test_support::DirectoryNames(image, ""),
            (std::vector<std::string>{"lower.txt", "Mixed.Txt", "M\xC3\xBCll Datei.txt"}));
  EXPECT_EQ(volume.Read("m\xDCLL DATEI.TXT", 100).bytes, "new");
  // The short alias in code page 850, with the numeric tail that Windows 95 gives it.
  EXPECT_EQ(test_support::ReadFileBytes(image, "M\xC3\x9CLLDA~1.TXT"), "new");
  EXPECT_EQ(volume.Find("M\xDCLLDA~1.TXT").entry.name, "M\xFCll Datei.txt");
}

TEST(Mtools, MapsHowAProgramEndedToWindowsErrors) {
  test_support::TempDrive scratch;
  const DiskImage image = test_support::MakeFloppy(scratch.Base() / "floppy.img");
  const int fd = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
  const Mtools mtools(fd, 0);
  EXPECT_EQ(mtools.Run("mtype", {"::/MISSING.TXT"}).error, kErrorFileNotFound);
  EXPECT_EQ(mtools.Run("mcopy", {"-", "::/BIG.BIN"}, std::string(2 << 20, 'b')).error,
            kErrorDiskFull);
  EXPECT_EQ(test_support::DirectoryNames(image, ""), std::vector<std::string>{});
  EXPECT_EQ(test_support::FsckProblems(image), "");
  const Mtools hasty(fd, 0, 1ms);  // as if it hung on a damaged image
  EXPECT_EQ(hasty.Run("mdir", {"::/"}).error, kErrorIoDevice);
  EXPECT_EQ(hasty.Calls(), 1u);
  ::close(fd);

  const auto ended = [](int exitCode, std::string errors) {
    ProcessResult result;
    result.exitCode = exitCode;
    result.errors = std::move(errors);
    return result;
  };
  ProcessResult notStarted, killed;
  notStarted.startError = ENOENT;
  killed.signal = SIGSEGV;
  const std::pair<ProcessResult, uint32_t> cases[] = {
      {ended(0, "warning"), kErrorSuccess},
      {ended(1, "mcopy: File \"::/X\" not found\n"), kErrorFileNotFound},
      {ended(1, "Disk full\n"), kErrorDiskFull},
      {ended(1, "mcopy: No directory slots\n"), kErrorDiskFull},
      {ended(1, "init: open: Permission denied\n"), kErrorAccessDenied},
      {ended(1, "write: Read-only file system\n"), kErrorWriteProtect},
      {ended(1, "read: Input/output error\n"), kErrorIoDevice},
      {ended(1, "loop detected! oldrel=1 newrel=2 abs=3\n"), kErrorIoDevice},
      {ended(2, "something new\n"), kErrorGenFailure},
      {notStarted, kErrorGenFailure},
      {killed, kErrorIoDevice},
  };
  for (const auto& [result, error] : cases) EXPECT_EQ(MtoolsError(result), error) << result.errors;
}

}  // namespace
}  // namespace startgarten::platform
