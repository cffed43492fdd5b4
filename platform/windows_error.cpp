#include "platform/windows_error.h"

#include <cerrno>

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
      return "Der Vorgang wurde erfolgreich beendet";
    case kErrorFileNotFound:
      return "Die Datei wurde nicht gefunden";
    case kErrorPathNotFound:
      return "Der Pfad wurde nicht gefunden";
    case kErrorTooManyOpenFiles:
      return "Es sind zu viele Dateien ge\xF6"
             "ffnet";
    case kErrorAccessDenied:
      return "Der Zugriff wurde verweigert";
    case kErrorNotEnoughMemory:
      return "F\xFCr diesen Vorgang ist nicht gen\xFCgend Speicher frei";
    case kErrorNotSameDevice:
      return "Die Datei kann nicht auf ein anderes Laufwerk verschoben werden";
    case kErrorWriteProtect:
      return "Der Datentr\xE4ger ist schreibgesch\xFCtzt";
    case kErrorGenFailure:
      return "Ein Ger\xE4t des Systems funktioniert nicht";
    case kErrorSharingViolation:
      return "Die Datei wird von einem anderen Programm benutzt";
    case kErrorDiskFull:
      return "Auf dem Datentr\xE4ger ist nicht gen\xFCgend Platz frei";
    case kErrorAlreadyExists:
      return "Eine Datei dieses Namens ist bereits vorhanden";
    case kErrorFilenameTooLong:
      return "Der Dateiname ist zu lang";
    case kErrorIoDevice:
      return "Beim Zugriff auf das Ger\xE4t ist ein Ein-/Ausgabefehler aufgetreten";
    default:
      return "Unbekannter Systemfehler " + std::to_string(code);
  }
}

}  // namespace startgarten::platform
