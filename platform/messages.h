#pragma once

// Texts of the file and stream errors that several parts of the program raise (code page 1252).
namespace startgarten::messages {

inline constexpr const char* kCannotOpenFile =
    "Kann Datei %s nicht \xF6"
    "ffnen";
inline constexpr const char* kCannotCreateFile = "Kann Datei %s nicht erstellen";
inline constexpr const char* kStreamReadError = "Stream-Read-Fehler ";
inline constexpr const char* kStreamWriteError = "Stream-Write-Fehler ";

}  // namespace startgarten::messages
