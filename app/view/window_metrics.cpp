#include "app/view/window_metrics.h"

#include <QFontMetrics>

namespace startgarten {

namespace {

// Rounds half away from zero; every value scaled here is positive.
int MulDiv(int value, int numerator, int denominator) {
  return (value * numerator + denominator / 2) / denominator;
}

// DejaVu Sans has the 13-pixel lines of "MS Sans Serif" at 11 pixels; narrowed to 78 % of its
// width it is about as wide, so that every caption fits the size the layout gives its control.
// Its regular face is named so that an installed condensed face, narrowed again, is not taken.
constexpr const char* kSubstituteFamily = "DejaVu Sans";
constexpr const char* kSubstituteFace = "Book";
constexpr int kSubstituteStretch = 78;

}  // namespace

QFont WindowFont(int dotsPerInch) {
  QFont font(kSubstituteFamily);
  font.setStyleHint(QFont::SansSerif);
  font.setStyleName(kSubstituteFace);
  font.setStretch(kSubstituteStretch);
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
