#pragma once

#include <string>

namespace startgarten {

// Before the window opens: while drive C does not exist, one box says what was looked for and
// how to set up a drive, and offers to choose drive C for this run or to quit. True when drive C
// exists (at once, or after a choice); false when the user quits.
bool FindDriveC(const std::string& applicationTitle);

}  // namespace startgarten
