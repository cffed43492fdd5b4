#include "platform/drives/drive_session.h"

#include <map>

namespace startgarten::platform {

namespace {

int depth = 0;
std::map<const void*, std::function<void()>>& Releases() {
  static std::map<const void*, std::function<void()>> releases;
  return releases;
}

}  // namespace

DriveSession::DriveSession() {
  ++depth;
}

DriveSession::~DriveSession() {
  if (--depth > 0) return;
  // A release may end other owners, which forget theirs: each is taken out before it runs.
  while (!Releases().empty()) {
    const std::function<void()> release = std::move(Releases().begin()->second);
    Releases().erase(Releases().begin());
    release();
  }
}

bool DriveSession::IsOpen() {
  return depth > 0;
}

void DriveSession::ReleaseAtEnd(const void* owner, std::function<void()> release) {
  Releases()[owner] = std::move(release);
}

void DriveSession::Forget(const void* owner) {
  Releases().erase(owner);
}

}  // namespace startgarten::platform
