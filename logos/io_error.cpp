#include "logos/io_error.h"

#include "platform/error.h"

namespace startgarten {

std::string InOutErrorMessage(uint32_t code) {
  switch (code) {
    case 2:
      return "Datei nicht gefunden";
    case 3:
      return "Ung\xFCltiger Dateiname";
    case 4:
      return "Zu viele Dateien ge\xF6"
             "ffnet";
    case 5:
      return "Dateizugriff verweigert";
    case 100:
      return "Lesen nach Dateiende (EOF)";
    case 101:
      return "Kapazit\xE4t der Diskette/Festplatte ersch\xF6pft";
    case 106:
      return "Ung\xFCltige numerische Eingabe";
    default:
      return FormatMessageText("I/O-Fehler %d", std::to_string(code));
  }
}

}  // namespace startgarten
