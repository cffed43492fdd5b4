// Asks a file system which of the calls a safe replacement of a file can use work there, and how
// it treats FAT attributes and short names, by trying each in an empty folder (as root). Prints
// one line per question: "question: answer", the answer "ok", an errno name, or what was seen.
//
//   cc -O2 -o build/kernel-test/probe scripts/kernel-test/probe.c
//   scripts/kernel-test.sh build/kernel-test/probe       # vfat, msdos and 9p in the machine
//   build/kernel-test/probe DIR                          # any folder of the host
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <linux/openat2.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

static int dir;  // the folder under test

// "ok", or the errno name of the failure; called right after the call, before errno changes.
static const char* Outcome(int result) {
  return result == -1 ? strerrorname_np(errno) : "ok";
}

static void Answer(const char* question, const char* answer) {
  printf("%s: %s\n", question, answer);
}

// Creates (or truncates) the file with the bytes; exits when it cannot, as nothing else can then
// be asked.
static void Make(const char* name, const char* bytes) {
  const int fd = openat(dir, name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd == -1 || write(fd, bytes, strlen(bytes)) != (ssize_t)strlen(bytes)) {
    printf("cannot create %s: %s\n", name, strerrorname_np(errno));
    exit(1);
  }
  close(fd);
}

// The file's first bytes, or "(missing)"; two buffers in turn, for two files in one answer.
static const char* Bytes(const char* name) {
  static char buffers[2][64];
  static int turn;
  char* bytes = buffers[turn ^= 1];
  const int fd = openat(dir, name, O_RDONLY);
  if (fd == -1) return "(missing)";
  const ssize_t size = read(fd, bytes, sizeof bytes - 1);
  bytes[size < 0 ? 0 : size] = 0;
  close(fd);
  return bytes;
}

// Removes every entry of the folder, so that each question starts from an empty one.
static void Clear(void) {
  DIR* listing = fdopendir(dup(dir));
  rewinddir(listing);
  for (struct dirent* entry; (entry = readdir(listing));) {
    if (strcmp(entry->d_name, ".") && strcmp(entry->d_name, "..")) {
      const int fd = openat(dir, entry->d_name, O_RDONLY);
      if (fd != -1) ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &(uint32_t){0});  // FAT: read-only off
      if (fd != -1) close(fd);
      unlinkat(dir, entry->d_name, 0);
    }
  }
  closedir(listing);
}

// The names readdir gives, joined by spaces.
static const char* Names(void) {
  static char names[256];
  names[0] = 0;
  DIR* listing = fdopendir(dup(dir));
  rewinddir(listing);
  for (struct dirent* entry; (entry = readdir(listing));) {
    if (strcmp(entry->d_name, ".") && strcmp(entry->d_name, "..")) {
      strcat(strcat(names, names[0] ? " " : ""), entry->d_name);
    }
  }
  closedir(listing);
  return names;
}

static void Renames(void) {
  char answer[128];
  Clear();
  Make("a", "A"), Make("b", "B");
  const char* outcome = Outcome(renameat2(dir, "a", dir, "b", RENAME_NOREPLACE));
  snprintf(answer, sizeof answer, "%s onto an existing name", outcome);
  if (!strcmp(outcome, "EEXIST")) {
    snprintf(answer, sizeof answer, "ok (EEXIST onto an existing name, %s onto a new one)",
             Outcome(renameat2(dir, "a", dir, "c", RENAME_NOREPLACE)));
  }
  Answer("renameat2 RENAME_NOREPLACE", answer);

  Clear();
  Make("a", "A"), Make("b", "B");
  outcome = Outcome(renameat2(dir, "a", dir, "b", RENAME_EXCHANGE));
  snprintf(answer, sizeof answer, "%s (a holds %s, b holds %s)", outcome, Bytes("a"), Bytes("b"));
  Answer("renameat2 RENAME_EXCHANGE", answer);

  Clear();
  Make("a", "A"), Make("b", "B");
  outcome = Outcome(renameat(dir, "a", dir, "b"));
  snprintf(answer, sizeof answer, "%s (b holds %s)", outcome, Bytes("b"));
  Answer("rename over an existing file", answer);

  Clear();
  Make("a", "A"), Make("b", "B");
  fchmodat(dir, "b", 0444, 0);
  outcome = Outcome(renameat(dir, "a", dir, "b"));
  snprintf(answer, sizeof answer, "%s (b holds %s)", outcome, Bytes("b"));
  Answer("rename over a read-only file", answer);

  Clear();
  Make("a", "A");
  Answer("link", Outcome(linkat(dir, "a", dir, "l", 0)));
}

static void Descriptors(void) {
  char answer[128];
  Clear();
  Answer("fsync on a directory", Outcome(fsync(dir)));
  const int listing = openat(dir, ".", O_RDONLY | O_DIRECTORY);
  Answer("flock on a directory", Outcome(flock(listing, LOCK_EX | LOCK_NB)));
  close(listing);

  Make("a", "A");
  const int fd = openat(dir, "a", O_RDWR);
  struct stat status;
  for (uid_t owner = 0; owner <= 1234; owner += 1234) {
    char question[32];
    const char* outcome = Outcome(fchown(fd, owner, owner));
    fstat(fd, &status);
    snprintf(question, sizeof question, "fchown to %u:%u", owner, owner);
    snprintf(answer, sizeof answer, "%s (owner %u:%u)", outcome, status.st_uid, status.st_gid);
    Answer(question, answer);
  }
  // FAT shows read-only as a mode without write bits; the mode of the other bits is the mount's.
  for (const mode_t* mode = (const mode_t[]){0444, 0555, 0640, 0755, 0}; *mode; ++mode) {
    char question[32];
    const char* outcome = Outcome(fchmod(fd, *mode));
    fstat(fd, &status);
    snprintf(question, sizeof question, "fchmod %04o", *mode);
    snprintf(answer, sizeof answer, "%s (mode %04o)", outcome, status.st_mode & 07777);
    Answer(question, answer);
  }
  Answer("fsetxattr user.*", Outcome(fsetxattr(fd, "user.probe", "1", 1, 0)));
  char names[256];
  const ssize_t length = flistxattr(fd, names, sizeof names);
  Answer("flistxattr", length == -1 ? strerrorname_np(errno) : length ? "ok (names)" : "ok (none)");
  close(fd);
}

// FAT attributes: read and set through a descriptor opened for reading only and one for writing.
static void FatAttributes(void) {
  char answer[128];
  Clear();
  Make("a", "A");
  for (int flags = O_RDONLY; flags <= O_RDWR; flags += O_RDWR - O_RDONLY) {
    const char* how = flags == O_RDONLY ? "O_RDONLY" : "O_RDWR";
    const int fd = openat(dir, "a", flags);
    uint32_t attributes = 0;
    const char* outcome = Outcome(ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes));
    snprintf(answer, sizeof answer, "%s (0x%02x)", outcome, attributes);
    char question[64];
    snprintf(question, sizeof question, "FAT_IOCTL_GET_ATTRIBUTES, %s", how);
    Answer(question, answer);
    outcome = Outcome(
        ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &(uint32_t){ATTR_HIDDEN | ATTR_SYS | ATTR_ARCH}));
    attributes = 0;
    ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
    snprintf(answer, sizeof answer, "%s (then 0x%02x)", outcome, attributes);
    snprintf(question, sizeof question, "FAT_IOCTL_SET_ATTRIBUTES 0x26, %s", how);
    Answer(question, answer);
    ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &(uint32_t){ATTR_ARCH});
    close(fd);
  }
}

// What a rename does to the attributes of a protected file (read-only, hidden, system, archive):
// a new version under a short temporary name put in place by a plain rename and by an exchange.
static void ProtectedRename(void) {
  char answer[128];
  for (unsigned flags = 0; flags <= RENAME_EXCHANGE; flags += RENAME_EXCHANGE) {
    Clear();
    Make("MSDOS.SYS", "old"), Make("SG01A2B3.~0F", "new");
    for (const char* const* name = (const char* const[]){"MSDOS.SYS", "SG01A2B3.~0F", 0}; *name;
         ++name) {
      const int fd = openat(dir, *name, O_RDONLY);
      ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES,
            &(uint32_t){ATTR_RO | ATTR_HIDDEN | ATTR_SYS | ATTR_ARCH});
      close(fd);
    }
    const char* outcome = Outcome(renameat2(dir, "SG01A2B3.~0F", dir, "MSDOS.SYS", flags));
    const int fd = openat(dir, "MSDOS.SYS", O_RDONLY);
    uint32_t attributes = 0;
    const int read = ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
    close(fd);
    if (read == -1) {
      snprintf(answer, sizeof answer, "%s, then MSDOS.SYS holds %s", outcome, Bytes("MSDOS.SYS"));
    } else {
      snprintf(answer, sizeof answer, "%s, then MSDOS.SYS holds %s, attributes 0x%02x", outcome,
               Bytes("MSDOS.SYS"), attributes);
    }
    Answer(flags ? "0x27 file exchanged with MSDOS.SYS" : "0x27 file renamed over MSDOS.SYS",
           answer);
  }
}

static void Names83(void) {
  char answer[128];
  for (const char* const* name = (const char* const[]){"SG01A2B3.~0F", "MSDOS.SYS", "msdos.sys", 0};
       *name; ++name) {
    Clear();
    const int created = openat(dir, *name, O_WRONLY | O_CREAT | O_EXCL, 0644);
    snprintf(answer, sizeof answer, "%s, readdir gives \"%s\"", Outcome(created), Names());
    close(created);
    char question[64];
    snprintf(question, sizeof question, "create %s", *name);
    Answer(question, answer);
  }
  Clear();
  Make("MSDOS.SYS", "upper");
  const int fd = openat(dir, "msdos.sys", O_WRONLY | O_CREAT | O_EXCL, 0644);
  snprintf(answer, sizeof answer, "%s, readdir gives \"%s\"", Outcome(fd), Names());
  close(fd);
  Answer("create msdos.sys beside MSDOS.SYS", answer);
}

static void Opening(void) {
  Clear();
  Make("a", "A");
  struct open_how how = {.flags = O_RDONLY, .resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS};
  Answer("openat2 RESOLVE_BENEATH|RESOLVE_NO_MAGICLINKS",
         Outcome((int)syscall(SYS_openat2, dir, "a", &how, sizeof how)));
  const int fd = openat(dir, ".", O_TMPFILE | O_RDWR, 0600);
  Answer("O_TMPFILE", Outcome(fd));
}

int main(int argc, char** argv) {
  const char* folder = argc > 1 ? argv[1] : getenv("STARTGARTEN_TEST_MOUNT");
  if (!folder || (dir = open(folder, O_RDONLY | O_DIRECTORY)) == -1) {
    fprintf(stderr, "usage: probe DIR (or STARTGARTEN_TEST_MOUNT=DIR probe)\n");
    return 2;
  }
  Renames();
  Descriptors();
  FatAttributes();
  ProtectedRename();
  Names83();
  Opening();
  Clear();
  return 0;
}
