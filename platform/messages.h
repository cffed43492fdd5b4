#pragma once

#include <cstdint>
#include <string>

// Every German text the program shows in a message or an error, in code page 1252. Texts with
// "%s" or "%d" take one argument (FormatMessageText).
namespace startgarten::messages {

// The question before the write command.
inline constexpr const char* kConfirmRewrite = "Wollen Sie die Start-Datei umschreiben?";

// The box shown when c:\msdos.sys names no host boot drive: its text and its title.
inline constexpr const char* kHostDriveNotFoundText = "Fehler";
inline constexpr const char* kHostDriveNotFoundTitle = "HOST-Laufwerk nicht gefunden";

// Files, streams and the line buffer.
inline constexpr const char* kCannotOpenFile =
    "Kann Datei %s nicht \xF6"
    "ffnen";
inline constexpr const char* kCannotCreateFile = "Kann Datei %s nicht erstellen";
inline constexpr const char* kStreamReadError = "Stream-Read-Fehler ";
inline constexpr const char* kStreamWriteError = "Stream-Write-Fehler ";
inline constexpr const char* kTextExceedsCapacity =
    "Text \xFC"
    "berschreitet Memo-Kapazit\xE4t";

// Profile keys and numbers.
inline constexpr const char* kCannotWriteTo = "Kann nicht nach %s schreiben";
inline constexpr const char* kNotAValidInteger = "'%s' ist kein g\xFCltiger Integerwert";

// The picture loader.
inline constexpr const char* kInvalidBitmap = "Bitmap ist ung\xFCltig";

// Input/output errors, by their error code.
inline constexpr const char* kInOutFileNotFound = "Datei nicht gefunden";
inline constexpr const char* kInOutInvalidFileName = "Ung\xFCltiger Dateiname";
inline constexpr const char* kInOutTooManyOpenFiles =
    "Zu viele Dateien ge\xF6"
    "ffnet";
inline constexpr const char* kInOutAccessDenied = "Dateizugriff verweigert";
inline constexpr const char* kInOutReadPastEnd = "Lesen nach Dateiende (EOF)";
inline constexpr const char* kInOutDiskFull = "Kapazit\xE4t der Diskette/Festplatte ersch\xF6pft";
inline constexpr const char* kInOutInvalidNumber = "Ung\xFCltige numerische Eingabe";
inline constexpr const char* kInOutOther = "I/O-Fehler %d";

// The system's texts for Windows error codes.
inline constexpr const char* kSystemSuccess = "Der Vorgang wurde erfolgreich beendet";
inline constexpr const char* kSystemFileNotFound = "Die Datei wurde nicht gefunden";
inline constexpr const char* kSystemPathNotFound = "Der Pfad wurde nicht gefunden";
inline constexpr const char* kSystemTooManyOpenFiles =
    "Es sind zu viele Dateien ge\xF6"
    "ffnet";
inline constexpr const char* kSystemAccessDenied = "Der Zugriff wurde verweigert";
inline constexpr const char* kSystemNotEnoughMemory =
    "F\xFCr diesen Vorgang ist nicht gen\xFCgend Speicher frei";
inline constexpr const char* kSystemNotSameDevice =
    "Die Datei kann nicht auf ein anderes Laufwerk verschoben werden";
inline constexpr const char* kSystemWriteProtect = "Der Datentr\xE4ger ist schreibgesch\xFCtzt";
inline constexpr const char* kSystemGenFailure = "Ein Ger\xE4t des Systems funktioniert nicht";
inline constexpr const char* kSystemSharingViolation =
    "Die Datei wird von einem anderen Programm benutzt";
inline constexpr const char* kSystemDiskFull =
    "Auf dem Datentr\xE4ger ist nicht gen\xFCgend Platz frei";
inline constexpr const char* kSystemAlreadyExists = "Eine Datei dieses Namens ist bereits vorhanden";
inline constexpr const char* kSystemFilenameTooLong = "Der Dateiname ist zu lang";
inline constexpr const char* kSystemIoDevice =
    "Beim Zugriff auf das Ger\xE4t ist ein Ein-/Ausgabefehler aufgetreten";
inline constexpr const char* kSystemUnknown = "Unbekannter Systemfehler %d";

}  // namespace startgarten::messages
