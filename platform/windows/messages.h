#pragma once

// The German texts of the program's messages and errors, in code page 1252: those of the files,
// the writes and the drives. Those about disk images are in drives/image/image_messages.h, those of
// the command line and before the window in app/program_messages.h. Texts with "%s" or "%d" take
// one argument (FormatMessageText).
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

// Writing all or nothing. The record's texts take its path, a completion that stopped the files
// that are new now before it; the take-back's the files that are new, then those that are old
// (kNoFiles when there are none).
inline constexpr const char* kWriteRecordForeign =
    "Auf Laufwerk C: liegt die Datei %s, doch sie ist kein Schreibprotokoll, das Startgarten "
    "lesen kann. Startgarten l\xE4sst sie unber\xFChrt und schreibt nichts, solange sie dort "
    "liegt";
inline constexpr const char* kWriteRecordUnfinished =
    "Ein unterbrochener Schreibvorgang l\xE4sst sich nicht abschlie\xDF"
    "en: Sein Protokoll %s nennt eine Datei, die weder neu ist noch ihre neue Fassung neben sich "
    "hat oder sich nicht ersetzen l\xE4sst. Startgarten l\xE4sst alles unber\xFChrt und schreibt "
    "nichts, solange das Protokoll dort liegt";
inline constexpr const char* kWriteRecordStopped =
    "Ein unterbrochener Schreibvorgang lie\xDF sich nur zum Teil abschlie\xDF"
    "en. Neu sind jetzt: %s. Sein Protokoll %s bleibt liegen, und Startgarten schreibt nichts, "
    "bis es den Schreibvorgang bei einem Start abschlie\xDF"
    "en kann";
inline constexpr const char* kWriteTakeBackFailed =
    "Die Dateien lie\xDF"
    "en sich weder ganz schreiben noch zur\xFC"
    "cksetzen. Neu sind jetzt: %s; alt sind: %s. Beim n\xE4"
    "chsten Start schlie\xDFt Startgarten das Schreiben ab";
inline constexpr const char* kNoFiles = "keine";

// The lock of a drive's writer. The texts take the drive (its folder or image file), then the
// holder (kLockHolder with the program and its process id, or kLockHolderUnseen) or the reason
// (a system error text).
inline constexpr const char* kDriveLocked =
    "Das Laufwerk %s ist gesperrt: %s schreibt gerade darauf oder h\xE4lt es fest. Startgarten "
    "hat einige Sekunden gewartet und nichts geschrieben";
inline constexpr const char* kLockHolder = "%s (PID %s)";
inline constexpr const char* kLockHolderUnseen = "ein anderer Benutzer";
inline constexpr const char* kDriveCannotLock =
    "Das Laufwerk %s l\xE4sst sich nicht zum Schreiben sperren: %s. Geschrieben wurde nichts";

// A letter beside drive C that leads to the host's root folder or to a folder that holds drive C:
// takes the letter, then the folder.
inline constexpr const char* kDriveHoldsDriveC =
    "Laufwerk %s: f\xFChrt in den Ordner %s, der Laufwerk C: enth\xE4lt. Das ist kein Laufwerk "
    "eines Windows 95; Startgarten liest und schreibt dort nichts";

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
inline constexpr const char* kSystemAlreadyExists =
    "Eine Datei dieses Namens ist bereits vorhanden";
inline constexpr const char* kSystemFilenameTooLong = "Der Dateiname ist zu lang";
inline constexpr const char* kSystemIoDevice =
    "Beim Zugriff auf das Ger\xE4t ist ein Ein-/Ausgabefehler aufgetreten";
inline constexpr const char* kSystemUnknown = "Unbekannter Systemfehler %d";

}  // namespace startgarten::messages
