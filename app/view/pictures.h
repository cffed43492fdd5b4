#pragma once

#include <QIcon>
#include <QImage>

namespace startgarten {

// The button pictures are strips of two images side by side: the first drawn while the button
// is enabled, the second while it is disabled. The colour of a strip's bottom-left pixel is
// transparent.

// BitBtn1 "OK": a green tick, 36 x 18 pixels, 24 bits per pixel.
QImage OkGlyphStrip();
// BitBtn2 "Standardwerte": a red ring crossed by a diagonal bar, 32 x 16 pixels, 16 colours.
QImage DefaultsGlyphStrip();
// BitBtn3 "Abbrechen": a red X, 36 x 18 pixels, 16 colours.
QImage CancelGlyphStrip();
// The program icon: a red and yellow flame above a grey block, 32 x 32 pixels, 16 colours; its
// bottom-left pixel's colour is transparent like the strips'.
QImage ProgramIconImage();

// A strip as a button icon: its first image for the normal state, its second for disabled.
QIcon GlyphIcon(const QImage& strip);
QIcon ProgramIcon();

}  // namespace startgarten
