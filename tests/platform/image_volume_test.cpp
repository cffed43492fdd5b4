#include "platform/image_volume.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <thread>

#include "platform/error.h"
#include "platform/messages.h"
#include "platform/temporary_names.h"
#include "platform/windows_error.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

namespace fs = std::filesystem;
using test_support::DiskImage;
using test_support::ImageKind;
using test_support::ImageKindName;
using test_support::MakeImage;
using test_support::FileAttributes;
using test_support::FsckProblems;
using test_support::ReadFileBytes;

constexpr uint32_t kProtected = 0x27;  // read-only, hidden, system, archive
const std::string kBootFile = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootGUI=1\r\n";
const std::string kPicture(70000, 'p');  // more than one cluster everywhere

// A Windows 95 drive in an image: the boot file protected, long names, a name that mtools would
// read as a pattern, a subdirectory with a long name.
class ImageVolumeTest : public testing::TestWithParam<ImageKind> {
 protected:
  void SetUp() override {
    image = MakeImage(GetParam(), scratch.Base());
    test_support::PutFiles(image, {{"MSDOS.SYS", kBootFile, "+r +h +s"},
                                   {"AUTOEXEC.BAT", "@echo off\r\n", ""},
                                   {"Long File Name.txt", "long", ""},
                                   {"lower.txt", "lower", "+h"},
                                   {"Mixed.Txt", "mixed", ""},
                                   {"a[1].txt", "pattern", ""},
                                   {"WINDOWS/LOGOS.SYS", kPicture, ""},
                                   {"WINDOWS/Start Menu/Programs.lnk", "link", ""}});
  }

  test_support::TempDrive scratch;
  DiskImage image;
};

TEST_P(ImageVolumeTest, FindsEntriesWithoutCaseByLongAndShortNames) {
  ImageVolume volume(image.path);
  EXPECT_EQ(volume.Location().offset, image.volumeOffset);
  const struct {
    const char* path;
    uint32_t error;
    std::string name;
    uint32_t attributes;
  } cases[] = {
      {"msdos.sys", 0, "MSDOS.SYS", kProtected},
      {"LONG FILE NAME.TXT", 0, "Long File Name.txt", kAttributeArchive},
      {"LONGFI~1.TXT", 0, "Long File Name.txt", kAttributeArchive},
      {"LOWER.TXT", 0, "lower.txt", kAttributeArchive | kAttributeHidden},
      {"A[1].TXT", 0, "a[1].txt", kAttributeArchive},
      {"windows", 0, "WINDOWS", kAttributeDirectory},
      {"Windows\\start menu\\PROGRAMS.LNK", 0, "Programs.lnk", kAttributeArchive},
      {"WINDOWS\\STARTM~1\\Programs.lnk", 0, "Programs.lnk", kAttributeArchive},
      {"\\WINDOWS\\\\LOGOS.SYS", 0, "LOGOS.SYS", kAttributeArchive},
      {"A1.TXT", kErrorFileNotFound, "", 0},
      {"NOWHERE\\X.SYS", kErrorPathNotFound, "", 0},
      {"MSDOS.SYS\\X", kErrorPathNotFound, "", 0},
      {"WINDOWS\\..\\MSDOS.SYS", kErrorPathNotFound, "", 0},
      {"*.SYS", kErrorPathNotFound, "", 0},
  };
  for (const auto& c : cases) {
    const FindResult found = volume.Find(c.path);
    EXPECT_EQ(found.error, c.error) << c.path;
    EXPECT_EQ(found.entry.name, c.name) << c.path;
    EXPECT_EQ(found.entry.attributes, c.attributes) << c.path;
  }
}

TEST_P(ImageVolumeTest, ReadsEachFileOnceUntilTheImageChanges) {
  ImageVolume volume(image.path);
  const struct {
    const char* path;
    size_t limit;
    uint32_t error;
    bool tooLarge;
    std::string bytes;
  } cases[] = {
      {"MSDOS.SYS", 1024, 0, false, kBootFile},
      {"windows\\logos.sys", kPicture.size(), 0, false, kPicture},
      {"WINDOWS\\LOGOS.SYS", kPicture.size() - 1, 0, true, ""},
      {"a[1].TXT", 100, 0, false, "pattern"},
      {"LONGFI~1.TXT", 100, 0, false, "long"},
      {"WINDOWS", 100, kErrorAccessDenied, false, ""},
      {"WINDOWS\\START MENU", 100, kErrorAccessDenied, false, ""},
      {"WINDOWS\\START.BAT", 100, kErrorFileNotFound, false, ""},
      {"NOWHERE\\START.BAT", 100, kErrorPathNotFound, false, ""},
  };
  for (const auto& c : cases) {
    const ReadFileResult read = volume.Read(c.path, c.limit);
    EXPECT_EQ(read.error, c.error) << c.path;
    EXPECT_EQ(read.tooLarge, c.tooLarge) << c.path;
    EXPECT_EQ(std::string_view(read.bytes), c.bytes) << c.path;
  }
  // Read again, the same answers come from what was kept.
  const unsigned long calls = volume.MtoolsCalls();
  for (const auto& c : cases) EXPECT_EQ(volume.Read(c.path, c.limit).error, c.error) << c.path;
  EXPECT_EQ(volume.MtoolsCalls(), calls);

  // Another program changes the image: what was kept is read anew.
  test_support::PutFiles(image, {{"MSDOS.SYS", "changed", ""}});
  EXPECT_EQ(volume.Read("MSDOS.SYS", 1024).bytes, "changed");
  EXPECT_EQ(volume.MtoolsCalls(), calls + 1);
}

TEST_P(ImageVolumeTest, ReplacesWithFinalAttributesAndTakesItBack) {
  ImageVolume volume(image.path);
  ASSERT_EQ(volume.Lock(), kErrorSuccess);
  const std::string newBoot = kBootFile + "BootMulti=1\r\n";
  const struct {
    const char* directory;
    const char* target;
    std::string bytes;
    uint32_t attributes;
    const char* finalName;  // as the directory shows it afterwards
  } cases[] = {
      {"", "msdos.sys", newBoot, kProtected, "MSDOS.SYS"},
      {"", "MIXED.TXT", "new mixed", kAttributeArchive, "Mixed.Txt"},
      {"", "Long File Name.txt", "", kAttributeReadOnly, "Long File Name.txt"},
      {"windows", "START.BAT", "@echo off\r\n", kAttributeArchive, "START.BAT"},
      {"WINDOWS\\Start Menu", "New Name.lnk", "new", kAttributeHidden, "New Name.lnk"},
  };
  // The file's path for mtools ("/") or for the volume ("\\").
  const auto path = [](const auto& c, std::string_view name, char separator = '/') {
    std::string joined = c.directory;
    for (char& ch : joined) ch = ch == '\\' ? separator : ch;
    return joined.empty() ? std::string(name) : joined + separator + std::string(name);
  };
  std::vector<std::pair<ImageReplacement, std::string>> done;
  for (unsigned index = 0; index < std::size(cases); ++index) {
    const auto& c = cases[index];
    const std::string before = ReadFileBytes(image, path(c, c.finalName));
    volume.Read(path(c, c.target, '\\'), 1 << 20);  // kept, and to be dropped by the change
    volume.Read("LONGFI~1.TXT", 1 << 20);           // the same file under its short name
    const TemporaryFile temporary =
        volume.WriteTemporary(c.directory, index, c.bytes, c.attributes);
    ASSERT_EQ(temporary.error, kErrorSuccess) << c.target;
    EXPECT_EQ(temporary.name, TemporaryName(index));
    // Complete, with its final attributes, before it takes the target's place.
    EXPECT_EQ(ReadFileBytes(image, path(c, temporary.name)), c.bytes) << c.target;
    EXPECT_EQ(volume.Find(path(c, temporary.name, '\\')).entry.attributes, c.attributes)
        << c.target;

    ImageReplacement replacement;
    ASSERT_EQ(volume.Replace(c.directory, temporary.name, c.target, replacement), kErrorSuccess)
        << c.target;
    EXPECT_EQ(ReadFileBytes(image, path(c, c.finalName)), c.bytes) << c.target;
    const FindResult found = volume.Find(path(c, c.target, '\\'));
    EXPECT_EQ(found.entry.name, c.finalName) << c.target;
    EXPECT_EQ(found.entry.attributes, c.attributes) << c.target;
    EXPECT_EQ(ReadFileBytes(image, path(c, temporary.name)), "missing") << c.target;
    EXPECT_EQ(volume.Read(path(c, c.target, '\\'), 1 << 20).bytes, c.bytes) << c.target;
    EXPECT_EQ(volume.Read("LONGFI~1.TXT", 1 << 20).bytes, ReadFileBytes(image, "LONGFI~1.TXT"));
    EXPECT_EQ(FsckProblems(image), "") << c.target;
    done.push_back({replacement, before});
  }
  // Taken back in the opposite order, as a command does when a later replacement fails.
  for (auto it = done.rbegin(); it != done.rend(); ++it) {
    const ImageReplacement& replacement = it->first;
    ASSERT_EQ(volume.Undo(replacement), kErrorSuccess) << replacement.target;
    const std::string file = replacement.directory + "\\" + replacement.target;
    std::string where = file;
    for (char& ch : where) ch = ch == '\\' ? '/' : ch;
    EXPECT_EQ(ReadFileBytes(image, where.substr(where.front() == '/')), it->second) << file;
    if (replacement.existed) {
      EXPECT_EQ(volume.Find(file).entry.attributes, replacement.oldAttributes) << file;
    }
  }
  EXPECT_EQ(FsckProblems(image), "");
  EXPECT_EQ(FileAttributes(image, "MSDOS.SYS"), "ASHR");

  ImageReplacement ignored;
  const TemporaryFile temporary = volume.WriteTemporary("", 9, "x", kAttributeArchive);
  EXPECT_EQ(volume.Replace("", temporary.name, "WINDOWS", ignored), kErrorAccessDenied);
  EXPECT_EQ(volume.WriteTemporary("NOWHERE", 0, "x", 0).error, kErrorPathNotFound);
}

TEST_P(ImageVolumeTest, RenamesWithoutReplacingAndRemoves) {
  ImageVolume volume(image.path);
  test_support::PutFiles(image, {{"WINDOWS/LOGOW.BMP", "picture", "+h"}});
  const struct {
    const char* from;
    const char* to;
    uint32_t error;
  } renames[] = {
      {"windows\\logow.bmp", "WINDOWS\\LOGOW.SYS", 0},
      {"WINDOWS\\LOGOW.SYS", "windows\\logos.sys", kErrorAlreadyExists},
      {"LOWER.TXT", "Lower.txt", kErrorAlreadyExists},
      {"MISSING.TXT", "OTHER.TXT", kErrorFileNotFound},
      {"MSDOS.SYS", "NOWHERE\\MSDOS.SYS", kErrorPathNotFound},
      {"a[1].txt", "b[2].txt", 0},
  };
  for (const auto& c : renames) EXPECT_EQ(volume.Rename(c.from, c.to), c.error) << c.from;
  EXPECT_EQ(ReadFileBytes(image, "WINDOWS/LOGOW.SYS"), "picture");
  EXPECT_EQ(FileAttributes(image, "WINDOWS/LOGOW.SYS"), "AH");
  EXPECT_EQ(ReadFileBytes(image, "b[[]2].txt"), "pattern");

  EXPECT_EQ(volume.Remove("windows\\LOGOW.SYS"), kErrorSuccess);
  EXPECT_EQ(volume.Remove("WINDOWS"), kErrorAccessDenied);
  EXPECT_EQ(volume.Remove("WINDOWS\\LOGOW.SYS"), kErrorFileNotFound);
  EXPECT_EQ(volume.Remove("MSDOS.SYS"), kErrorSuccess);  // read-only does not protect here
  EXPECT_EQ(ReadFileBytes(image, "WINDOWS/LOGOW.SYS"), "missing");
  EXPECT_EQ(ReadFileBytes(image, "MSDOS.SYS"), "missing");
  EXPECT_EQ(FsckProblems(image), "");
}

TEST_P(ImageVolumeTest, RemovesStaleTemporaryFilesButNotItsOwn) {
  test_support::PutFiles(image, {{"SG000001.~00", "stale", "+r +h +s"},
                                 {"WINDOWS/sg00abcd.~01", "stale", ""},
                                 {"SG000001.TXT", "not ours", ""},
                                 {"WINDOWS/SG000002.~02/X", "a directory", ""}});
  ImageVolume volume(image.path);
  const TemporaryFile own = volume.WriteTemporary("WINDOWS", 3, "mine", kAttributeArchive);
  for (const char* directory : {"", "WINDOWS"}) {
    EXPECT_EQ(volume.RemoveStaleTemporaryFiles(directory), kErrorSuccess) << directory;
  }
  EXPECT_EQ(
      test_support::DirectoryNames(image, ""),
      (std::vector<std::string>{"MSDOS.SYS", "AUTOEXEC.BAT", "Long File Name.txt", "lower.txt",
                                "Mixed.Txt", "a[1].txt", "WINDOWS", "SG000001.TXT"}));
  EXPECT_EQ(test_support::DirectoryNames(image, "WINDOWS"),
            (std::vector<std::string>{"LOGOS.SYS", "Start Menu", "SG000002.~02", own.name}));
  EXPECT_EQ(FsckProblems(image), "");
}

// The bytes of a 1.44 MB floppy image, to damage its FAT and root directory on purpose.
class FloppyBytes {
 public:
  explicit FloppyBytes(const fs::path& path)
      : path_(path), bytes_(test_support::ReadHostBytes(path)) {}
  ~FloppyBytes() { test_support::WriteHostBytes(path_, bytes_); }

  // The root directory entry of an 8.3 name as stored ("LOOP    TXT"), by its offset.
  size_t Entry(std::string_view storedName) const {
    for (size_t at = kRoot; at < kRoot + 224 * 32; at += 32) {
      if (bytes_.compare(at, 11, storedName) == 0) return at;
    }
    ADD_FAILURE() << storedName;
    return 0;
  }
  unsigned FirstCluster(size_t entry) const { return Get16(entry + 26); }
  void SetFirstCluster(size_t entry, unsigned cluster) { Put16(entry + 26, cluster); }
  void CopyEntry(size_t from, size_t to, std::string_view storedName) {
    bytes_.replace(to, 32, bytes_, from, 32);
    bytes_.replace(to, 11, storedName);
  }
  // The FAT12 entry of a cluster, in both FATs.
  unsigned Next(unsigned cluster) const {
    const unsigned pair = Get16(kFat + cluster * 3 / 2);
    return cluster & 1 ? pair >> 4 : pair & 0xFFF;
  }
  void SetNext(unsigned cluster, unsigned next) {
    for (size_t fat : {kFat, kFat + 9 * 512}) {
      const size_t at = fat + cluster * 3 / 2;
      const unsigned pair = Get16(at);
      Put16(at, cluster & 1 ? (pair & 0x000F) | (next << 4) : (pair & 0xF000) | next);
    }
  }
  unsigned LastCluster(unsigned first) const {
    while (Next(first) < 0xFF8) first = Next(first);
    return first;
  }

  static constexpr size_t kFat = 512;
  static constexpr size_t kRoot = 19 * 512;

 private:
  unsigned Get16(size_t at) const {
    return static_cast<unsigned char>(bytes_[at]) | static_cast<unsigned char>(bytes_[at + 1]) << 8;
  }
  void Put16(size_t at, unsigned value) {
    bytes_[at] = static_cast<char>(value & 0xFF);
    bytes_[at + 1] = static_cast<char>(value >> 8);
  }

  fs::path path_;
  std::string bytes_;
};

// Cluster chains that loop, and an entry whose content lies past the volume's end: reading them
// ends with an error, and nothing replaces or removes them halfway.
TEST(ImageVolumeHostile, DamagedChainsGiveAnErrorAndStayAsTheyWere) {
  test_support::TempDrive scratch;
  const DiskImage image = test_support::MakeFloppy(scratch.Base() / "floppy.img");
  const std::string content(1546, 'c');  // four clusters
  test_support::PutFiles(image, {{"LOOP.TXT", content, ""},
                                 {"SELF.TXT", content, ""},
                                 {"FAR.TXT", content, ""},
                                 {"GOOD.TXT", "good", "+r"}});
  {
    FloppyBytes floppy(image.path);
    // Past its last cluster the chain of LOOP.TXT goes back to its first one; SELF.TXT's first
    // cluster points to itself; FAR.TXT begins beyond the last cluster.
    const unsigned loop = floppy.FirstCluster(floppy.Entry("LOOP    TXT"));
    floppy.SetNext(floppy.LastCluster(loop), loop);
    const unsigned self = floppy.FirstCluster(floppy.Entry("SELF    TXT"));
    floppy.SetNext(self, self);
    floppy.SetFirstCluster(floppy.Entry("FAR     TXT"), 0xFF0);
  }
  const std::string damaged = test_support::ReadHostBytes(image.path);

  ImageVolume volume(image.path, std::chrono::seconds(20));
  ASSERT_EQ(volume.Lock(), kErrorSuccess);
  EXPECT_EQ(volume.Read("LOOP.TXT", 1 << 20).bytes, content);  // the size ends it before the loop
  EXPECT_EQ(volume.Read("SELF.TXT", 1 << 20).error, kErrorIoDevice);
  EXPECT_EQ(volume.Read("FAR.TXT", 1 << 20).error, kErrorIoDevice);
  EXPECT_EQ(volume.Remove("FAR.TXT"), kErrorIoDevice);  // mdel crashes on it, before writing
  EXPECT_EQ(test_support::ReadHostBytes(image.path), damaged);
  for (const char* name : {"LOOP.TXT", "SELF.TXT", "FAR.TXT"}) {
    const TemporaryFile temporary = volume.WriteTemporary("", 0, "new", kAttributeArchive);
    ImageReplacement replacement;
    EXPECT_EQ(volume.Replace("", temporary.name, name, replacement), kErrorIoDevice) << name;
    EXPECT_EQ(volume.Remove(temporary.name), kErrorSuccess) << name;
  }
  EXPECT_EQ(test_support::DirectoryNames(image, ""),
            (std::vector<std::string>{"LOOP.TXT", "SELF.TXT", "FAR.TXT", "GOOD.TXT"}));
  EXPECT_EQ(ReadFileBytes(image, "LOOP.TXT"), content);
  EXPECT_EQ(ReadFileBytes(image, "GOOD.TXT"), "good");
}

// A temporary file whose entry shares its content with another entry is what an mtools program
// cut off inside its write can leave; removing or overwriting it would free the other file's
// clusters. Here it bears the name that this process would write next.
TEST(ImageVolumeHostile, KeepsAStaleTemporaryFileThatSharesItsContent) {
  test_support::TempDrive scratch;
  const DiskImage image = test_support::MakeFloppy(scratch.Base() / "floppy.img");
  test_support::PutFiles(image, {{"MSDOS.SYS", kBootFile, "+r +h +s"}, {"SG000003.~03", "x", ""}});
  const std::string shared = TemporaryName(2);
  {
    FloppyBytes floppy(image.path);
    floppy.CopyEntry(floppy.Entry("MSDOS   SYS"), FloppyBytes::kRoot + 2 * 32,
                     shared.substr(0, 8) + shared.substr(9));
  }
  ImageVolume volume(image.path);
  EXPECT_EQ(volume.RemoveStaleTemporaryFiles(""), kErrorSuccess);
  EXPECT_EQ(volume.WriteTemporary("", 2, "new", kAttributeArchive).error, kErrorAlreadyExists);
  EXPECT_EQ(test_support::DirectoryNames(image, ""),
            (std::vector<std::string>{"MSDOS.SYS", shared}));
  EXPECT_EQ(ReadFileBytes(image, "MSDOS.SYS"), kBootFile);
}

TEST(ImageVolumeLock, OneHolderAtATime) {
  test_support::TempDrive scratch;
  const DiskImage image = test_support::MakeFloppy(scratch.Base() / "floppy.img");
  ImageVolume first(image.path), second(image.path);
  ASSERT_EQ(first.Lock(), kErrorSuccess);
  std::atomic<bool> locked = false;
  std::thread waiter([&] {
    EXPECT_EQ(second.Lock(), kErrorSuccess);
    locked = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(locked);
  first.Unlock();
  waiter.join();
  EXPECT_TRUE(locked);
}

// The three files a write command replaces, with their attributes as "mattrib -X" shows them.
struct KilledFile {
  const char* directory;
  const char* name;
  uint32_t attributes;
  const char* letters;
};
constexpr KilledFile kKilledFiles[] = {{"WINDOWS", "START.BAT", kAttributeArchive, "A"},
                                       {"", "AUTOEXEC.BAT", kAttributeArchive, "A"},
                                       {"", "MSDOS.SYS", kProtected, "ASHR"}};

// The content of a file in generation: a first line that names it, then bytes that follow from
// it, of a length that changes the number of clusters from one generation to the next.
std::string Generation(const KilledFile& file, unsigned generation) {
  std::string content = std::string(file.name) + " " + std::to_string(generation) + "\r\n";
  std::mt19937 random(generation * 7 + content.size());
  content.resize(content.size() + 600 + (generation % 5) * 700);
  for (size_t i = content.find('\n') + 1; i < content.size(); ++i) {
    content[i] = static_cast<char>('a' + random() % 26);
  }
  return content;
}

std::string MtoolsPath(const KilledFile& file) {
  return *file.directory ? std::string(file.directory) + "/" + file.name : file.name;
}

// Replaces the three files with one generation after another, count of them, or until it is
// killed.
[[noreturn]] void WriteGenerations(const fs::path& image, unsigned generation, unsigned count) {
  ImageVolume volume(image);
  volume.Lock();
  for (const unsigned end = generation + count; generation != end; ++generation) {
    std::vector<std::string> temporaries;
    for (unsigned i = 0; i < std::size(kKilledFiles); ++i) {
      const KilledFile& file = kKilledFiles[i];
      temporaries.push_back(
          volume.WriteTemporary(file.directory, i, Generation(file, generation), file.attributes)
              .name);
    }
    for (unsigned i = 0; i < std::size(kKilledFiles); ++i) {
      ImageReplacement replacement;
      if (volume.Replace(kKilledFiles[i].directory, temporaries[i], kKilledFiles[i].name,
                         replacement)) {
        ::_exit(1);
      }
    }
  }
  ::_exit(0);
}

class ImageKillTest : public ImageVolumeTest {
 protected:
  void SetUp() override { image = MakeImage(GetParam(), scratch.Base()); }
};

// SIGKILL at random moments of replacements. The programs of mtools that the killed process
// started finish on their own and hold the lock until then; after that every file is one whole
// generation with its attributes, and the image is clean once the stale temporary files are gone.
TEST_P(ImageKillTest, EveryFileStaysWholeWithItsAttributes) {
  std::vector<test_support::ImageFile> files;
  for (const KilledFile& file : kKilledFiles) {
    files.push_back(
        {MtoolsPath(file), Generation(file, 0), file.attributes == kProtected ? "+r +h +s" : ""});
  }
  test_support::PutFiles(image, files);
  // The kills fall within twice the time that starting and writing one generation takes here.
  const auto started = std::chrono::steady_clock::now();
  const pid_t timed = ::fork();
  if (timed == 0) WriteGenerations(image.path, 1, 1);
  ::waitpid(timed, nullptr, 0);
  const auto span = 2 * (std::chrono::steady_clock::now() - started);
  std::mt19937 random(static_cast<unsigned>(GetParam()) + 1);
  unsigned generation = 2, changed = 0;
  for (int kill = 0; kill < 30; ++kill) {
    const pid_t writer = ::fork();
    if (writer == 0) WriteGenerations(image.path, generation, ~0u);
    std::this_thread::sleep_for(span * (random() % 1000) / 1000);
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);

    ImageVolume volume(image.path);
    ASSERT_EQ(volume.Lock(), kErrorSuccess);
    for (const char* directory : {"", "WINDOWS"}) {
      ASSERT_EQ(volume.RemoveStaleTemporaryFiles(directory), kErrorSuccess);
    }
    volume.Unlock();
    for (const KilledFile& file : kKilledFiles) {
      const std::string content = ReadFileBytes(image, MtoolsPath(file));
      const unsigned seen = std::atoi(content.substr(content.find(' ') + 1).c_str());
      ASSERT_EQ(content, Generation(file, seen)) << file.name << " after kill " << kill;
      ASSERT_EQ(FileAttributes(image, MtoolsPath(file)), file.letters) << file.name;
      if (seen >= generation) ++changed;
      generation = std::max(generation, seen + 1);
    }
    ASSERT_EQ(test_support::DirectoryNames(image, "WINDOWS"),
              std::vector<std::string>{"START.BAT"});
    ASSERT_EQ(FsckProblems(image), "") << "after kill " << kill;
  }
  EXPECT_GT(changed, 10u);  // the kills fell into the writes, not only before them
}

INSTANTIATE_TEST_SUITE_P(Images, ImageKillTest,
                         testing::ValuesIn(test_support::kImageKinds),
                         ImageKindName<testing::TestParamInfo<ImageKind>>);

INSTANTIATE_TEST_SUITE_P(Images, ImageVolumeTest,
                         testing::ValuesIn(test_support::kImageKinds),
                         ImageKindName<testing::TestParamInfo<ImageKind>>);

}  // namespace
}  // namespace startgarten::platform
