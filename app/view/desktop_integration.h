#pragma once

namespace startgarten {

// What the program needs from the desktop it runs on: the texts Qt draws itself (the text
// fields' edit menu, the file dialog, standard buttons) in German from Qt's own translations,
// German number and date formats, and the desktop entry's id, by which Wayland compositors find
// the window's icon and name. Call after the application object exists.
void IntegrateWithDesktop();

}  // namespace startgarten
