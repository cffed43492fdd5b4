#include "app/view/window_metrics.h"

#include <QFontMetrics>

namespace startgarten {

namespace {

// Rounds half away from zero; every value scaled here is positive.
int MulDiv(int value, int numerator, int denominator) {
  return (value * numerator + denominator / 2) / denominator;
}

// Of the fonts Debian ships, this one has the 13-pixel lines of "MS Sans Serif" at 11 pixels and
// the closest widths, so the captions fit the controls the layout sizes for them.
constexpr const char* kSubstituteFamily = "DejaVu Sans Condensed";

}  // namespace

QFont WindowFont(int dotsPerInch) {
  QFont font(kSubstituteFamily);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(MulDiv(kDesignFontPixels, dotsPerInch, kDesignDotsPerInch));
  return font;
}

WindowScale WindowScale::ForFont(const QFont& font) {
  return WindowScale(QFontMetrics(font).height());
}

int WindowScale::operator()(int designPixels) const {
  return MulDiv(designPixels, textHeight_, kDesignTextHeight);
}

QRect WindowScale::operator()(int left, int top, int width, int height) const {
  return QRect((*this)(left), (*this)(top), (*this)(width), (*this)(height));
}

}  // namespace startgarten
