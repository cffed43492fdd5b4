#pragma once

#include <cerrno>
#include <cstdint>

#include "platform/system/file_bytes.h"
#include "platform/windows/file_types.h"

// Below the drive interface every failure is an errno value (0 for none); the interface (drive.h)
// and the layers above it speak Windows error codes. These convert the one to the other, in the
// drives' public calls and nowhere else.
namespace startgarten::platform {

// The errno value of a failure that names no reason of a file system's: a program of mtools that
// ended badly without saying why or could not be started, an export that could not be made where
// no exception may end the call. It converts to the general failure (kErrorGenFailure).
inline constexpr int kUnexplainedFailure = EPROTO;

// The Windows error code for an errno value (windows_error.h).
uint32_t DriveError(int error);

ReadFileResult DriveRead(BytesRead read);

}  // namespace startgarten::platform
