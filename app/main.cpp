// The program a user starts. It answers the command line and runs a script's request itself,
// without the libraries of the window, so that a script neither needs a display nor waits for
// them to load; for the window, once a display is named, it hands over to the window's program.
#include "app/command_line.h"
#include "app/window_program.h"

int main(int argc, char* argv[]) {
  using namespace startgarten;
  if (const std::optional<int> exitStatus = TakeCommandLine(argc, argv)) return *exitStatus;
  return StartWindowProgram(argv);
}
