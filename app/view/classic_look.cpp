#include "app/view/classic_look.h"

#include <QDialogButtonBox>
#include <QPalette>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QToolTip>

#include "app/view/tooltip_pause.h"
#include "app/view/window_metrics.h"

namespace startgarten {

namespace {

constexpr int kHintPause = 500;
constexpr int kHintHidePause = 2500;

// Windows 95 pads a tab's caption by 6 pixels on each side and 3 above and below.
constexpr int kTabHorizontalPadding = 2 * 6;
constexpr int kTabVerticalPadding = 2 * 3;

// Qt's "Windows" style with the tab padding, tooltip timing and message box buttons of Windows 95,
// whatever the desktop's platform theme prefers. Qt shows the next tooltip quickly while the
// previous one would still be open, so the quick period lasts as long as a tooltip stays.
class ClassicStyle : public QProxyStyle {
 public:
  ClassicStyle() : QProxyStyle(QStyleFactory::create("Windows")) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_TabBarTabHSpace:
        return kTabHorizontalPadding;
      case PM_TabBarTabVSpace:
        return kTabVerticalPadding;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    switch (hint) {
      case SH_ToolTip_WakeUpDelay:
        return kHintPause;
      case SH_ToolTip_FallAsleepDelay:
        return kHintHidePause;
      case SH_DialogButtonLayout:
        return QDialogButtonBox::WinLayout;
      case SH_DialogButtonBox_ButtonsHaveIcons:
        return false;
      default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
  }
};

QPalette Windows95Palette() {
  const QColor black(0x00, 0x00, 0x00);
  const QColor white(0xFF, 0xFF, 0xFF);
  const QColor buttonFace(0xC0, 0xC0, 0xC0);
  const QColor buttonShadow(0x80, 0x80, 0x80);
  const QColor buttonLight(0xDF, 0xDF, 0xDF);
  const QColor grayText(0x80, 0x80, 0x80);

  QPalette palette(black, buttonFace, white, buttonShadow, buttonShadow, black, white, white,
                   buttonFace);
  palette.setColor(QPalette::Midlight, buttonLight);
  palette.setColor(QPalette::Shadow, black);
  palette.setColor(QPalette::Highlight, QColor(0x00, 0x00, 0x80));
  palette.setColor(QPalette::HighlightedText, white);
  palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
  palette.setColor(QPalette::ToolTipText, black);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(QPalette::Disabled, role, grayText);
  }
  palette.setColor(QPalette::Disabled, QPalette::Base, buttonFace);
  return palette;
}

}  // namespace

void ApplyClassicLook(QApplication& app) {
  QApplication::setStyle(new ClassicStyle);
  const QPalette palette = Windows95Palette();
  QApplication::setPalette(palette);
  QToolTip::setPalette(palette);
  const QFont font = WindowScale::ForScreen(*app.primaryScreen()).Font();
  QApplication::setFont(font);
  QToolTip::setFont(font);
  app.installEventFilter(new TooltipPause(&app));
}

void SetHint(QWidget* control, const QString& hint) {
  control->setToolTip(hint);
  control->setToolTipDuration(kHintHidePause);
}

}  // namespace startgarten
