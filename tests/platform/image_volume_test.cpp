#include "platform/drives/image/image_volume.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <tuple>

#include "platform/drives/drive_errors.h"
#include "platform/drives/image/image_messages.h"
#include "platform/drives/image/mtools.h"
#include "platform/drives/temporary_names.h"
#include "platform/drives/writer_lock.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "support/byte_order.h"
#include "support/child_processes.h"
#include "support/disk_images.h"
#include "support/error_of.h"
#include "support/scoped_environment.h"
#include "support/temp_drive.h"

// The image volume's own rules and the programs of mtools it runs, on a floppy image; the write
// command on each kind of image, with failures and kills, is tested in
// tests/app/image_drive_test.cpp.
namespace startgarten::platform {
namespace {

using namespace test_support;

using namespace std::chrono_literals;

constexpr uint32_t kProtected = 0x27;  // read-only, hidden, system, archive
const std::string kBootFile = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n";

class ImageVolumeTest : public testing::Test {
 protected:
  TempDrive scratch;
  DiskImage image = MakeFloppy(scratch.Base() / "floppy.img");
};

// Long names, short names, a name that mtools would read as a pattern, paths that lead nowhere.
TEST_F(ImageVolumeTest, FindsAndReadsByLongAndShortNamesWithoutCase) {
  const std::string picture(70000, 'p');  // many clusters
  PutFiles(image, {{"MSDOS.SYS", kBootFile, "+r +h +s"},
                   {"Long File Name.txt", "long", ""},
                   {"lower.txt", "lower", "+h"},
                   {"a[1].txt", "pattern", ""},
                   {"WINDOWS/LOGOS.SYS", picture, ""},
                   {"WINDOWS/Start Menu/Programs.lnk", "link", ""}});
  ImageVolume volume(image.path);
  const struct {
    const char* path;
    int error;
    std::string name;
    uint32_t attributes;
    std::string bytes;  // as Read gives them
    int readError = 0;
  } cases[] = {
      {"msdos.sys", 0, "MSDOS.SYS", kProtected, kBootFile},
      {"LONGFI~1.TXT", 0, "Long File Name.txt", kAttributeArchive, "long"},
      {"A[1].TXT", 0, "a[1].txt", kAttributeArchive, "pattern"},
      {"Windows\\start menu\\PROGRAMS.LNK", 0, "Programs.lnk", kAttributeArchive, "link"},
      {"WINDOWS\\STARTM~1\\Programs.lnk", 0, "Programs.lnk", kAttributeArchive, "link"},
      {"\\WINDOWS\\\\LOGOS.SYS", 0, "LOGOS.SYS", kAttributeArchive, picture},
      {"windows", 0, "WINDOWS", kAttributeDirectory, "", EACCES},
      {"A1.TXT", ENOENT, "", 0, "", ENOENT},
      {"NOWHERE\\X.SYS", ENOTDIR, "", 0, "", ENOTDIR},
      {"MSDOS.SYS\\X", ENOTDIR, "", 0, "", ENOTDIR},
      {"WINDOWS\\..\\MSDOS.SYS", ENOTDIR, "", 0, "", ENOTDIR},
      {"*.SYS", ENOTDIR, "", 0, "", ENOTDIR},
  };
  for (const auto& c : cases) {
    const FindResult found = volume.Find(c.path);
    const BytesRead read = volume.Read(c.path, picture.size());
    EXPECT_EQ(std::tie(found.error, found.entry.name, found.entry.attributes, read.error),
              std::tie(c.error, c.name, c.attributes, c.readError))
        << c.path;
    EXPECT_EQ(std::string_view(read.bytes), c.bytes) << c.path;
  }
  // Read again, the same answers come from what was kept.
  const unsigned long calls = volume.MtoolsCalls();
  for (const auto& c : cases) EXPECT_EQ(volume.Read(c.path, 1 << 20).error, c.readError) << c.path;
  EXPECT_EQ(volume.MtoolsCalls(), calls);
  EXPECT_TRUE(volume.Read("WINDOWS\\LOGOS.SYS", picture.size() - 1).tooLarge);
  EXPECT_EQ(volume.Rename("a[1].txt", "Lower.TXT"), EEXIST);
  EXPECT_EQ(ReadFileBytes(image, "lower.txt"), "lower");
}

// A user's configuration and environment that would change names and behaviour, or stop mtools
// altogether, if any of it reached the programs.
TEST_F(ImageVolumeTest, AUsersMtoolsSettingsChangeNothing) {
  PutFiles(image, {{"lower.txt", "lower", ""}, {"Mixed.Txt", "old", ""}});
  const std::string broken = "this line is no setting\ndrive a: file=\"/dev/null\" precmd=\"x\"\n";
  WriteHostBytes(scratch.Base() / ".mtoolsrc", broken);
  WriteHostBytes(scratch.Base() / "other.rc", broken);
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
    ASSERT_EQ(temporary.error, 0) << target;
    ASSERT_EQ(volume.Replace("", temporary.name, target, replacement), 0) << target;
  }
  EXPECT_EQ(DirectoryNames(image, ""),
            (std::vector<std::string>{"lower.txt", "Mixed.Txt", "M\xC3\xBCll Datei.txt"}));
  EXPECT_EQ(volume.Read("m\xDCLL DATEI.TXT", 100).bytes, "new");
  // The short alias in code page 850, with the numeric tail that Windows 95 gives it.
  EXPECT_EQ(ReadFileBytes(image, "M\xC3\x9CLLDA~1.TXT"), "new");
  EXPECT_EQ(volume.Find("M\xDCLLDA~1.TXT").entry.name, "M\xFCll Datei.txt");
}

// How a program of mtools ends gives the errno value: what it reports, or that it hung or was not
// there to start.
TEST_F(ImageVolumeTest, MtoolsEndingsGiveErrnoValues) {
  const int fd = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
  const Mtools mtools(fd, 0);
  EXPECT_EQ(mtools.Run("mtype", {"::/MISSING.TXT"}).error, ENOENT);
  EXPECT_EQ(mtools.Run("mcopy", {"-", "::/BIG.BIN"}, std::string(2 << 20, 'b')).error, ENOSPC);
  EXPECT_EQ(DirectoryNames(image, ""), std::vector<std::string>{});
  EXPECT_EQ(FsckProblems(image), "");
  const Mtools hasty(fd, 0, 1ms);  // as if it hung on a damaged image
  EXPECT_EQ(hasty.Run("mdir", {"::/"}).error, EIO);
  EXPECT_EQ(hasty.Calls(), 1u);
  ::close(fd);
  ProcessResult notStarted;
  notStarted.startError = ENOENT;
  EXPECT_EQ(MtoolsError(notStarted), kUnexplainedFailure);
}

// The bytes of a 1.44 MB floppy image, to damage its FAT and root directory on purpose; written
// back when the object ends.
struct FloppyBytes {
  explicit FloppyBytes(const DiskImage& image) : path(image.path), bytes(ReadHostBytes(path)) {}
  ~FloppyBytes() { WriteHostBytes(path, bytes); }

  // The offset of the directory entry of an 8.3 name as stored ("LOOP    TXT"), the root's first.
  size_t Entry(std::string_view stored) const {
    for (size_t at = kRoot; at + 32 <= bytes.size(); at += 32) {
      if (bytes.compare(at, 11, stored) == 0) return at;
    }
    ADD_FAILURE() << stored;
    return kRoot;
  }
  unsigned FirstCluster(std::string_view stored) const {
    return GetLittleEndian(bytes, Entry(stored) + 26, 2);
  }
  // Sets the FAT12 entry of a cluster in both FATs.
  void SetNext(unsigned cluster, unsigned next) {
    for (size_t fat : {512u, 10 * 512u}) {
      const size_t at = fat + cluster * 3 / 2;
      const uint64_t pair = GetLittleEndian(bytes, at, 2);
      PutLittleEndian(bytes, at,
                      cluster & 1 ? (pair & 0x000F) | (next << 4) : (pair & 0xF000) | next, 2);
    }
  }

  // Spells the long name of the entry with the characters of name, which it must have room for.
  void SetLongName(std::string_view stored, std::string_view name) {
    constexpr size_t kCharacters[] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    for (size_t at = Entry(stored) - 32, first = 0; bytes[at + 11] == 0x0F; at -= 32, first += 13) {
      for (size_t i = 0; i < 13; ++i) {
        const size_t n = first + i;
        const unsigned c = n < name.size() ? uint8_t(name[n]) : n == name.size() ? 0 : 0xFFFF;
        PutLittleEndian(bytes, at + kCharacters[i], c, 2);
      }
    }
  }

  static constexpr size_t kRoot = size_t{19} * 512;
  fs::path path;
  std::string bytes;
};

// Cluster chains that loop, and an entry whose content lies past the volume's end: reading them
// ends with an error, and nothing replaces or removes them halfway.
TEST_F(ImageVolumeTest, DamagedChainsGiveAnErrorAndStayAsTheyWere) {
  const std::string content(1546, 'c');  // four clusters, consecutive on a fresh floppy
  PutFiles(image, {{"LOOP.TXT", content, ""},
                   {"SELF.TXT", content, ""},
                   {"FAR.TXT", content, ""},
                   {"GOOD.TXT", "good", "+r"}});
  {
    // Past its last cluster the chain of LOOP.TXT goes back to its first one; SELF.TXT's first
    // cluster points to itself; FAR.TXT begins beyond the last cluster.
    FloppyBytes floppy(image);
    floppy.SetNext(floppy.FirstCluster("LOOP    TXT") + 3, floppy.FirstCluster("LOOP    TXT"));
    floppy.SetNext(floppy.FirstCluster("SELF    TXT"), floppy.FirstCluster("SELF    TXT"));
    PutLittleEndian(floppy.bytes, floppy.Entry("FAR     TXT") + 26, 0xFF0, 2);
  }
  const std::string damaged = ReadHostBytes(image.path);

  ImageVolume volume(image.path, std::chrono::seconds(20));
  volume.Lock();
  EXPECT_EQ(volume.Read("LOOP.TXT", 1 << 20).bytes, content);  // the size ends it before the loop
  EXPECT_EQ(volume.Read("SELF.TXT", 1 << 20).error, EIO);
  EXPECT_EQ(volume.Read("FAR.TXT", 1 << 20).error, EIO);
  EXPECT_EQ(volume.Remove("FAR.TXT"), EIO);  // mdel crashes on it, before writing
  EXPECT_EQ(ReadHostBytes(image.path), damaged);
  for (const char* name : {"LOOP.TXT", "SELF.TXT", "FAR.TXT"}) {
    const TemporaryFile temporary = volume.WriteTemporary("", 0, "new", kAttributeArchive);
    ImageReplacement replacement;
    EXPECT_EQ(volume.Replace("", temporary.name, name, replacement), EIO) << name;
    EXPECT_EQ(volume.Remove(temporary.name), 0) << name;
  }
  EXPECT_EQ(DirectoryNames(image, ""),
            (std::vector<std::string>{"LOOP.TXT", "SELF.TXT", "FAR.TXT", "GOOD.TXT"}));
  EXPECT_EQ(ReadFileBytes(image, "LOOP.TXT") + ReadFileBytes(image, "GOOD.TXT"), content + "good");
}

// mtools prints a long name as it is: one that holds a line break would read as further entries.
// A directory with one is not read, nor anything in it changed; other control characters in a
// name leave it one entry.
TEST_F(ImageVolumeTest, ALongNameForgesNoEntry) {
  PutFiles(image, {{"MSDOS.SYS", kBootFile, "+r +h +s"},
                   {"WINDOWS/" + std::string(26, 'n'), "", ""},
                   {"WINDOWS/WIN.INI", "ini", ""},
                   {"CONTROL/" + std::string(26, 'm'), "", ""},
                   {"CONTROL/WIN.INI", "ini", ""}});
  {
    FloppyBytes floppy(image);
    floppy.SetLongName("NNNNNN~1   ", "a\nASHR ::/WINDOWS/IO.SYS");
    floppy.SetLongName("MMMMMM~1   ", "\t\x01\x1F\x7F");
  }
  const std::string crafted = ReadHostBytes(image.path);
  ImageVolume volume(image.path);
  const std::pair<const char*, int> found[] = {{"WINDOWS\\IO.SYS", EIO},
                                               {"WINDOWS\\WIN.INI", EIO},
                                               {"CONTROL\\WIN.INI", 0},
                                               {"MSDOS.SYS", 0}};
  for (const auto& [path, error] : found) EXPECT_EQ(volume.Find(path).error, error) << path;
  volume.Lock();
  EXPECT_EQ(volume.RemoveStaleTemporaryFiles("WINDOWS"), EIO);
  EXPECT_EQ(ReadHostBytes(image.path), crafted);
}

// Stale are the files of the temporary names' pattern that this object did not write, but not a
// directory, and not one whose entry shares its content with another entry: an mtools program cut
// off inside its write can leave that, and removing or overwriting it would free the other file's
// clusters. Here the shared one bears the name that this process would write next.
TEST_F(ImageVolumeTest, RemovesOnlyStaleTemporaryFilesThatShareNothing) {
  PutFiles(image, {{"MSDOS.SYS", kBootFile, "+r +h +s"},
                   {"SG000001.~00", "stale", "+r +h +s"},
                   {"SG000001.TXT", "not ours", ""},
                   {"WINDOWS/sg00abcd.~01", "stale", ""},
                   {"WINDOWS/SG000002.~02/X", "a directory", ""}});
  const std::string shared = TemporaryName(2);
  {
    FloppyBytes floppy(image);
    const size_t entry = floppy.Entry(std::string(11, '\0'));  // the first free one
    floppy.bytes.replace(entry, 32, floppy.bytes, floppy.Entry("MSDOS   SYS"), 32);
    floppy.bytes.replace(entry, 11, shared.substr(0, 8) + shared.substr(9));
  }
  ImageVolume volume(image.path);
  const TemporaryFile own = volume.WriteTemporary("WINDOWS", 3, "mine", kAttributeArchive);
  EXPECT_EQ(volume.RemoveStaleTemporaryFiles(""), 0);
  EXPECT_EQ(volume.RemoveStaleTemporaryFiles("WINDOWS"), 0);
  EXPECT_EQ(volume.WriteTemporary("", 2, "new", kAttributeArchive).error, EEXIST);
  EXPECT_EQ(DirectoryNames(image, ""),
            (std::vector<std::string>{"MSDOS.SYS", "SG000001.TXT", "WINDOWS", shared}));
  EXPECT_EQ(DirectoryNames(image, "WINDOWS"), (std::vector<std::string>{"SG000002.~02", own.name}));
  EXPECT_EQ(ReadFileBytes(image, "MSDOS.SYS"), kBootFile);
}

// A short name in small letters, wholly or in one part, has no long name: the bits of its
// directory entry's case byte say so (as Windows NT writes them). Replacing the file keeps them,
// and so does taking the replacement back; a name in mixed letters keeps its long name.
TEST_F(ImageVolumeTest, ReplacingAFileKeepsTheLetterCaseOfItsName) {
  ImageVolume volume(image.path);
  for (const char* name :
       {"msdos.sys", "MSDOS.sys", "msdos.SYS", "MSDOS.SYS", "readme", "setup.1st", "Msdos.Sys"}) {
    SCOPED_TRACE(name);
    PutFiles(image, {{name, "old", "+r +h +s"}});
    const std::string entry = DirectoryEntryNames(image, name);
    const std::string exact = volume.Find(name).entry.name;
    const TemporaryFile temporary = volume.WriteTemporary("", 0, "new", kProtected, exact);
    ImageReplacement replacement;
    ASSERT_EQ(volume.Replace("", temporary.name, exact, replacement), 0);
    EXPECT_EQ(DirectoryEntryNames(image, name) + " " + ReadFileBytes(image, name), entry + " new");
    ASSERT_EQ(volume.Undo(replacement, temporary.name), 0);
    EXPECT_EQ(DirectoryEntryNames(image, name) + " " + ReadFileBytes(image, name), entry + " old");
    EXPECT_EQ(volume.Remove(name), 0);
    EXPECT_EQ(volume.Remove(temporary.name), 0);
  }
  EXPECT_EQ(DirectoryNames(image, ""), std::vector<std::string>{});
  EXPECT_EQ(FsckProblems(image), "");
}

// Whoever holds a lock on the image refuses the lock, with a message that names it: a lock whose
// process cannot be seen (as another user's QEMU would hold it; here one of this process through
// another opening) makes the image in use all the same, and a holder of the drive's lock, here
// another process that locks the image as flock(1) would, is named by its program and process id.
TEST_F(ImageVolumeTest, AnotherHolderOfALockRefusesTheLock) {
  ImageVolume volume(image.path);
  const int other = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
  struct flock range = {
      .l_type = F_RDLCK, .l_whence = SEEK_SET, .l_start = 201, .l_len = 1, .l_pid = 0};
  ASSERT_EQ(::fcntl(other, F_OFD_SETLK, &range), 0);
  const std::string name = image.path.string();
  EXPECT_EQ(ErrorOf([&] { volume.Lock(); }),
            FormatMessageText(messages::kImageInUse,
                              {name, messages::kImageUserUnseen, messages::kImagePidUnknown}));
  ::close(other);
  volume.Lock();
  volume.Unlock();

  const HoldingChild holder([this] { ::flock(::open(image.path.c_str(), O_RDONLY), LOCK_EX); });
  SetWriterLockWait(100ms);
  EXPECT_EQ(ErrorOf([&] { volume.Lock(); }),
            FormatMessageText(messages::kDriveLocked,
                              {name, FormatMessageText(messages::kLockHolder, "image_test",
                                                       std::to_string(holder.Pid()))}));
  SetWriterLockWait(5s);
}

}  // namespace
}  // namespace startgarten::platform
