#pragma once

#include <QString>

class QDialog;

namespace startgarten {

// The width, in logical pixels, that a window's title bar needs to show its title whole. The
// window manager draws the title bar in a font of its own, which a program cannot ask for. Window
// managers draw titles in bold, in the desktop's general font or a size near it (Openbox "sans
// bold 8", xfwm4 "Sans Bold 9", GNOME its general font Cantarell 11 in bold), so the title is
// measured in the general font of the desktop's platform theme in bold, at least as large as the
// application's font. Beside the title, the window's icon, up to three buttons and the frame take
// about eight lines' heights of that font: 104 pixels in Openbox's default theme at 8 points.
int TitleBarWidth(const QString& title);

// Makes a box at least as wide as its title bar needs; called once its layout is complete.
void KeepTitleWhole(QDialog& box);

}  // namespace startgarten
