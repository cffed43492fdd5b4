#include "app/view/window_metrics.h"

#include <QFontMetrics>
#include <QScreen>
#include <cmath>

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

QFont SubstituteFont(int pixels) {
  QFont font(kSubstituteFamily);
  font.setStyleHint(QFont::SansSerif);
  font.setStyleName(kSubstituteFace);
  font.setStretch(kSubstituteStretch);
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

WindowScale::WindowScale(int dotsPerInch, qreal devicePixelRatio)
    : devicePixelRatio_(devicePixelRatio),
      fontPixels_(MulDiv(kDesignFontPixels, dotsPerInch, kDesignDotsPerInch)),
      textHeight_(QFontMetrics(SubstituteFont(fontPixels_)).height()) {}

WindowScale WindowScale::ForScreen(const QScreen& screen) {
  const qreal ratio = screen.devicePixelRatio();
  return WindowScale(static_cast<int>(std::lround(screen.logicalDotsPerInchY() * ratio)), ratio);
}

QFont WindowScale::Font() const {
  return SubstituteFont(static_cast<int>(std::lround(fontPixels_ / devicePixelRatio_)));
}

int WindowScale::TextHeight() const {
  return static_cast<int>(std::lround(textHeight_ / devicePixelRatio_));
}

int WindowScale::operator()(int designPixels) const {
  return static_cast<int>(
      std::lround(MulDiv(designPixels, textHeight_, kDesignTextHeight) / devicePixelRatio_));
}

QRect WindowScale::operator()(int left, int top, int width, int height) const {
  return QRect((*this)(left), (*this)(top), (*this)(width), (*this)(height));
}

// Qt rounds a logical coordinate times the ratio to the nearest device pixel; the smallest
// logical coordinate that reaches the device pixel lands on it wherever one can.
QPoint WindowScale::LogicalPosition(QPoint devicePixels) const {
  const auto logical = [this](int device) {
    return static_cast<int>(std::ceil((device - 0.5) / devicePixelRatio_));
  };
  return QPoint(logical(devicePixels.x()), logical(devicePixels.y()));
}

}  // namespace startgarten
