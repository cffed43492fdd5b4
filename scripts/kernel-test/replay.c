// Reads the log that the kernel's dm-log-writes target keeps of every write to a disk, and
// replays it: the disk as it would be after a power cut at a chosen moment.
//
//   replay LOG                 one line per entry that ends a state of the disk worth judging,
//                              "INDEX state" (a FLUSH or FUA after writes), and per mark,
//                              "INDEX mark TEXT"
//   replay LOG DISK FROM TO    writes entries FROM to TO (counted from 0, both included) onto
//                              DISK, a file or device holding the disk as it was before FROM
//
// The log: a superblock in its first sector (magic, version, number of entries, sector size),
// then per entry one sector that begins with its header (sector written, number of sectors,
// flags, length of a mark's text, which follows the header) and the sectors written, if any. The
// target logs a write once a FLUSH has followed it (or at once for FUA), in the order they reached
// the disk, so every prefix of the log that ends at a FLUSH or FUA is a state the disk can be
// found in after a power cut.
#include <endian.h>
#include <fcntl.h>
#include <inttypes.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kFlush = 1, kFua = 2, kDiscard = 4, kMark = 8 };
static const uint64_t kMagic = 0x6a736677736872;

struct Entry {
  uint64_t sector, sectors, flags, textLength;
};

static void Fail(const char* what) {
  perror(what);
  exit(1);
}

// Reads exactly size bytes at offset; a log cut short is an error.
static void ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  for (size_t done = 0; done < size;) {
    const ssize_t got = pread(fd, (char*)buffer + done, size - done, offset + (off_t)done);
    if (got <= 0) Fail("replay: reading the log");
    done += (size_t)got;
  }
}

static void WriteAt(int fd, const void* buffer, size_t size, off_t offset) {
  for (size_t done = 0; done < size;) {
    const ssize_t put = pwrite(fd, (const char*)buffer + done, size - done, offset + (off_t)done);
    if (put <= 0) Fail("replay: writing the disk");
    done += (size_t)put;
  }
}

int main(int argc, char** argv) {
  if (argc != 2 && argc != 5) {
    fprintf(stderr, "usage: replay LOG [DISK FROM TO]\n");
    return 2;
  }
  const int log = open(argv[1], O_RDONLY);
  if (log == -1) Fail(argv[1]);
  unsigned char super[28];
  ReadAt(log, super, sizeof super, 0);
  uint64_t magic, version, count;
  uint32_t sectorSize;
  memcpy(&magic, super, 8), memcpy(&version, super + 8, 8), memcpy(&count, super + 16, 8);
  memcpy(&sectorSize, super + 24, 4);
  sectorSize = le32toh(sectorSize);
  if (le64toh(magic) != kMagic || le64toh(version) != 1 || sectorSize < 512 || sectorSize > 65536) {
    fprintf(stderr, "replay: %s is no dm-log-writes log\n", argv[1]);
    return 1;
  }
  count = le64toh(count);

  const int disk = argc == 5 ? open(argv[2], O_WRONLY) : -1;
  if (argc == 5 && disk == -1) Fail(argv[2]);
  const uint64_t from = argc == 5 ? strtoull(argv[3], NULL, 10) : 0;
  const uint64_t to = argc == 5 ? strtoull(argv[4], NULL, 10) : count - 1;
  unsigned char* const sector = malloc(sectorSize);
  unsigned char* data = NULL;
  size_t dataSize = 0;
  int written = 0;  // whether a write came since the last state listed
  off_t offset = sectorSize;
  for (uint64_t index = 0; index < count && index <= to; ++index) {
    struct Entry entry;
    ReadAt(log, sector, sectorSize, offset);
    memcpy(&entry, sector, sizeof entry);
    entry.sector = le64toh(entry.sector), entry.sectors = le64toh(entry.sectors);
    entry.flags = le64toh(entry.flags), entry.textLength = le64toh(entry.textLength);
    offset += sectorSize;
    const size_t size = (entry.flags & (kDiscard | kMark)) ? 0 : entry.sectors * sectorSize;
    if (disk == -1) {
      written |= size > 0;
      if (entry.flags & kMark) {
        const size_t length = entry.textLength < sectorSize - sizeof entry
                                  ? entry.textLength
                                  : sectorSize - sizeof entry - 1;
        printf("%" PRIu64 " mark %.*s\n", index, (int)length, (const char*)sector + sizeof entry);
      } else if ((entry.flags & (kFlush | kFua)) && written) {
        printf("%" PRIu64 " state\n", index);
        written = 0;
      }
    } else if (index >= from && (size || (entry.flags & kDiscard))) {
      // A discarded range reads as zeros here: what it holds afterwards is the disk's choice.
      const size_t bytes = size ? size : entry.sectors * sectorSize;
      if (bytes > dataSize && !(data = realloc(data, dataSize = bytes))) Fail("replay");
      if (size)
        ReadAt(log, data, size, offset);
      else
        memset(data, 0, bytes);
      WriteAt(disk, data, bytes, (off_t)(entry.sector * sectorSize));
    }
    offset += (off_t)size;
  }
  if (disk != -1 && fsync(disk) == -1) Fail("replay: flushing the disk");
  return 0;
}
