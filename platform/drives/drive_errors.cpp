#include "platform/drives/drive_errors.h"

#include "platform/windows/windows_error.h"

namespace startgarten::platform {

uint32_t DriveError(int error) {
  return WindowsErrorFromErrno(error);
}

ReadFileResult DriveRead(BytesRead read) {
  ReadFileResult result;
  result.error = DriveError(read.error);
  result.tooLarge = read.tooLarge;
  result.bytes = std::move(read.bytes);
  return result;
}

}  // namespace startgarten::platform
