#include "app/window_program.h"

#include <cstdio>
#include <filesystem>

#include "app/program_messages.h"
#include "platform/system/process.h"
#include "platform/system/program_path.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

int StartWindowProgram(char* const arguments[]) {
  const std::filesystem::path program =
      (std::filesystem::path(platform::RunningProgramPath()).parent_path() /
       STARTGARTEN_WINDOW_PROGRAM)
          .lexically_normal();
  const int error = platform::ReplaceProcess(program.string(), arguments);
  const std::string reason = platform::SystemErrorText(platform::WindowsErrorFromErrno(error));
  const std::string message =
      FormatMessageText(messages::kWindowProgramNotStarted, reason, Utf8ToCp1252(program.string()));
  std::fputs(Cp1252ToUtf8(message).c_str(), stderr);
  return 1;
}

}  // namespace startgarten
