#include "app/no_display.h"

#include <cstdio>
#include <cstdlib>

#include "app/program_messages.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"

namespace startgarten {

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool DisplayNamed() {
  return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

int ReportNoDisplay(const char* reason) {
  std::fputs(Cp1252ToUtf8(FormatMessageText(messages::kNoDisplay, reason)).c_str(), stderr);
  return 1;
}

}  // namespace startgarten
