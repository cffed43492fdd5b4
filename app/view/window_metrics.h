#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>

class QScreen;

namespace startgarten {

// The window is laid out in pixels for 96 pixels per inch, where its font has characters 11
// pixels high and lines 13 pixels high.
inline constexpr int kDesignDotsPerInch = 96;
inline constexpr int kDesignFontPixels = 11;
inline constexpr int kDesignTextHeight = 13;

// Scales the layout to a screen as Windows does: first the font's character height with the
// screen's density, then every position and size with the line height of that font against the
// 13 pixels the layout was made for, each value rounded on its own as Windows' MulDiv rounds. This
// happens in device pixels; Qt places widgets in logical pixels, device pixels divided by the
// screen's device pixel ratio, so a scale factor of 1.5 counts as a screen of 144 pixels per inch.
class WindowScale {
 public:
  WindowScale(int dotsPerInch, qreal devicePixelRatio);
  static WindowScale ForScreen(const QScreen& screen);

  // The window's font: the stand-in for "MS Sans Serif" 8 pt.
  QFont Font() const;
  // The line height of the window's font, in logical pixels.
  int TextHeight() const;
  // Layout pixels in logical pixels.
  int operator()(int designPixels) const;
  QRect operator()(int left, int top, int width, int height) const;
  // The logical position that Qt puts at these device pixels of the screen.
  QPoint LogicalPosition(QPoint devicePixels) const;

 private:
  qreal devicePixelRatio_;
  int fontPixels_;  // device pixels
  int textHeight_;  // device pixels
};

}  // namespace startgarten
