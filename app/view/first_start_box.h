#pragma once

namespace startgarten {

// Before the window opens: while drive C does not exist, or was chosen for this run and is no
// Windows 95 boot drive, one box, "Startgarten", says what was looked for or found and how to set
// up a drive (its commands in a fixed-width font), lists the drives chosen lately, each opened with
// one click unless it is gone, and offers to choose a folder or a disk image as drive C for this
// run, or to quit. True when drive C may be opened (at once, or after a choice), which then
// becomes the latest of the drives chosen lately; false when the user quits.
bool FindDriveC();

}  // namespace startgarten
