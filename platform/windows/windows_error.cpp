#include "platform/windows/windows_error.h"

#include <cerrno>

#include "platform/windows/error.h"
#include "platform/windows/messages.h"

namespace startgarten::platform {

uint32_t WindowsErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
    case ELOOP:
      return kErrorPathNotFound;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EXDEV:
      return kErrorNotSameDevice;
    case EROFS:
      return kErrorWriteProtect;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case EEXIST:
    case ENOTEMPTY:
      return kErrorAlreadyExists;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case EIO:
      return kErrorIoDevice;
    default:
      return kErrorGenFailure;
  }
}

std::string SystemErrorText(uint32_t code) {
  switch (code) {
    case kErrorSuccess:
      return messages::kSystemSuccess;
    case kErrorFileNotFound:
      return messages::kSystemFileNotFound;
    case kErrorPathNotFound:
      return messages::kSystemPathNotFound;
    case kErrorTooManyOpenFiles:
      return messages::kSystemTooManyOpenFiles;
    case kErrorAccessDenied:
      return messages::kSystemAccessDenied;
    case kErrorNotEnoughMemory:
      return messages::kSystemNotEnoughMemory;
    case kErrorNotSameDevice:
      return messages::kSystemNotSameDevice;
    case kErrorWriteProtect:
      return messages::kSystemWriteProtect;
    case kErrorGenFailure:
      return messages::kSystemGenFailure;
    case kErrorSharingViolation:
      return messages::kSystemSharingViolation;
    case kErrorDiskFull:
      return messages::kSystemDiskFull;
    case kErrorAlreadyExists:
      return messages::kSystemAlreadyExists;
    case kErrorFilenameTooLong:
      return messages::kSystemFilenameTooLong;
    case kErrorIoDevice:
      return messages::kSystemIoDevice;
    default:
      return FormatMessageText(messages::kSystemUnknown, std::to_string(code));
  }
}

std::string InOutErrorMessage(uint32_t code) {
  switch (code) {
    case kErrorFileNotFound:
      return messages::kInOutFileNotFound;
    case kErrorPathNotFound:
      return messages::kInOutInvalidFileName;
    case kErrorTooManyOpenFiles:
      return messages::kInOutTooManyOpenFiles;
    case kErrorAccessDenied:
      return messages::kInOutAccessDenied;
    case kInOutReadPastEnd:
      return messages::kInOutReadPastEnd;
    case kInOutDiskFull:
      return messages::kInOutDiskFull;
    case kInOutInvalidNumber:
      return messages::kInOutInvalidNumber;
    default:
      return FormatMessageText(messages::kInOutOther, std::to_string(code));
  }
}

}  // namespace startgarten::platform
