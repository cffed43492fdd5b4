#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/image/disk_image_layout.h"
#include "platform/drives/image/image_files.h"
#include "platform/system/descriptor.h"
#include "platform/system/process.h"

// The disk inside an image file of another emulator's format (qcow2, VDI, VMDK, VHDX, a dynamic
// VHD, ...), shown as a raw file by QEMU's own block layer: qemu-storage-daemon exports it over
// FUSE onto a file in a private folder, as the user who runs this program (through fusermount3).
//
// The daemon runs under a small shell that takes it down once the export's keep-alive pipe is
// closed by every holder: this process and each program it gives the pipe to. So the export ends
// with its owner, also when the owner is killed, but never before a program that writes through it
// has finished. An export whose daemon was killed as well is taken down by the next export; a
// daemon left running by a run killed together with its keeper is ended then.
namespace startgarten::platform {

class ImageExport {
 public:
  struct Options {
    bool writable = false;
    // Descriptors that the daemon keeps open while it runs (the write lock of the image).
    std::vector<int> kept;
    std::chrono::milliseconds timeout{30000};  // for its start, and for its end
    std::string daemon = "/usr/bin/qemu-storage-daemon";
  };

  // Exports the image of these layers (image_files.h: the image first, its format given and every
  // file named), named displayName (code page 1252) in messages.
  // For reading it takes no locks, so that it shows an image that a running emulator holds; for
  // writing QEMU takes its locks, and refuses an image that another process has locked. Throws
  // Error naming the missing package, what QEMU reported, or a timeout.
  ImageExport(const std::vector<ImageLayer>& layers, const ContainerFormat& format,
              std::string_view displayName, const Options& options);
  // Closes the export and waits, at most for the timeout, until the daemon has ended; then the
  // folder is removed.
  ~ImageExport();
  ImageExport(const ImageExport&) = delete;
  ImageExport& operator=(const ImageExport&) = delete;

  // The raw disk, open for reading, or for reading and writing.
  int Fd() const { return fd_.Get(); }
  bool Writable() const { return writable_; }
  // The keep-alive pipe's end, for every program that works through the export.
  int KeepAlive() const { return keepAlive_.Get(); }
  // The export's folder, which those programs keep open too: a daemon that outlived its keeper and
  // owner is ended only while nobody else has it open (RemoveStaleImageExports).
  int Folder() const { return folder_.Get(); }
  // The daemon's process id.
  pid_t Daemon() const { return daemon_; }

 private:
  void Start(const std::vector<ImageLayer>& layers, const Options& options);
  void AwaitDaemon(std::chrono::steady_clock::time_point deadline, int watch);
  std::string QemuReport() const;
  void Stop();
  [[noreturn]] void Fail(const char* message, std::string_view detail = {});

  std::string displayName_;
  bool writable_ = false;
  std::chrono::milliseconds timeout_;
  Descriptor parent_;  // the folder of all exports
  std::string parentPath_;
  std::string name_;   // this export's folder in it
  std::string path_;   // its full path
  Descriptor folder_;  // held locked while the export lives
  Descriptor errors_;  // the daemon's standard error, a file in the folder
  Descriptor keepAlive_;
  StartedProcess shell_;
  pid_t daemon_ = -1;
  Descriptor daemonEnded_;
  Descriptor fd_;
};

// Takes down the exports of runs that were killed: ends a daemon that outlived its keeper and
// every program that used the export, unmounts what is still mounted and removes their folders.
// Exports that live are left alone. Each new export does this first, and so does each lock of an
// image that is exported.
void RemoveStaleImageExports();

}  // namespace startgarten::platform
