#pragma once

#include <cstdint>
#include <string>

namespace startgarten::platform {

// Windows error codes, which the rest of the program shows and reacts to.
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorTooManyOpenFiles = 4;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorNotSameDevice = 17;
inline constexpr uint32_t kErrorWriteProtect = 19;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorFilenameTooLong = 206;
inline constexpr uint32_t kErrorIoDevice = 1117;

// Codes of the runtime's own input/output errors, which share the error code's range.
inline constexpr uint32_t kInOutReadPastEnd = 100;
inline constexpr uint32_t kInOutDiskFull = 101;
inline constexpr uint32_t kInOutInvalidNumber = 106;

// The Windows error code for an errno value; kErrorGenFailure for errno values without a closer
// match.
uint32_t WindowsErrorFromErrno(int error);

// The German text for a Windows error code, without a final period or trailing blanks.
std::string SystemErrorText(uint32_t code);

// The message of an input/output error with this code: the runtime's own text for the codes it
// knows, else one that gives the number.
std::string InOutErrorMessage(uint32_t code);

}  // namespace startgarten::platform
