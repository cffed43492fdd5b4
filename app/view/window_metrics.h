#pragma once

#include <QFont>
#include <QRect>

namespace startgarten {

// The window is laid out in pixels for 96 pixels per inch, where its font has characters 11
// pixels high and lines 13 pixels high.
inline constexpr int kDesignDotsPerInch = 96;
inline constexpr int kDesignFontPixels = 11;
inline constexpr int kDesignTextHeight = 13;

// The window's font for a screen density: the stand-in for "MS Sans Serif" 8 pt, with its
// character height scaled from 11 pixels at 96 pixels per inch.
QFont WindowFont(int dotsPerInch);

// Scales the layout's pixels by the text height of the window's font against the 13 pixels the
// layout was made for, each value rounded on its own as Windows' MulDiv rounds.
class WindowScale {
 public:
  explicit WindowScale(int textHeight) : textHeight_(textHeight) {}
  static WindowScale ForFont(const QFont& font);

  int TextHeight() const { return textHeight_; }
  int operator()(int designPixels) const;
  QRect operator()(int left, int top, int width, int height) const;

 private:
  int textHeight_;
};

}  // namespace startgarten
