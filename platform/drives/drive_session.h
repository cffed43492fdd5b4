#pragma once

#include <functional>

// The span of one command of the user. What a drive opens for its work and would otherwise open
// and close again for every step (the export of a disk image through QEMU, and the write lock
// that goes with a writable one) stays open until the outermost session ends, so that the steps
// of one command share it. Sessions nest; outside of any, each step closes what it opened.
namespace startgarten::platform {

class DriveSession {
 public:
  DriveSession();
  // Runs what was kept for the session's end, when it is the outermost.
  ~DriveSession();
  DriveSession(const DriveSession&) = delete;
  DriveSession& operator=(const DriveSession&) = delete;

  static bool IsOpen();
  // Runs release when the outermost session ends; an owner has one release at a time, and Forget
  // drops it (an owner that ends first). Only while a session is open.
  static void ReleaseAtEnd(const void* owner, std::function<void()> release);
  static void Forget(const void* owner);
};

}  // namespace startgarten::platform
