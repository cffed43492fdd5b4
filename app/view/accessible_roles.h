#pragma once

namespace startgarten {

// Tells Qt's accessibility how a screen reader is to see the window's own widgets where Qt's
// defaults fall short: the combo box is named by what it chooses (its label) and its value is its
// field's text, where Qt on Linux names it by its text; a logo picture is a graphic named by its
// caption. Installed once; later calls do nothing.
void InstallAccessibleRoles();

}  // namespace startgarten
