#pragma once

// The window is a program of its own, so that the program a user starts loads the window's
// libraries only when it opens the window: a script's request runs without them.
namespace startgarten {

// Hands this process over to the window's program, installed at STARTGARTEN_WINDOW_PROGRAM
// relative to the folder of the running program, with the same arguments. Returns only when it
// cannot be started: the exit status 1, after a German message on standard error.
int StartWindowProgram(char* const arguments[]);

}  // namespace startgarten
