#pragma once

// Without a display the window cannot open. The program then says so in German on standard
// error, with the ways to use it without a window, and ends with exit status 1.
namespace startgarten {

// Whether a display is named: QT_QPA_PLATFORM chooses a platform (offscreen, vnc, ...), or DISPLAY
// or WAYLAND_DISPLAY is set and not empty. Whether it can be reached, only opening it tells.
bool DisplayNamed();

// Prints the message for a missing display, beginning with reason (code page 1252), and returns
// the exit status, 1.
int ReportNoDisplay(const char* reason);

}  // namespace startgarten
