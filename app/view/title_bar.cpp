#include "app/view/title_bar.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QScreen>
#include <algorithm>

namespace startgarten {

namespace {
constexpr int kRoomBesideTitleInLines = 8;
}  // namespace

int TitleBarWidth(const QString& title) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  if (QFontInfo(QApplication::font()).pixelSize() > QFontInfo(font).pixelSize()) {
    font = QApplication::font();
  }
  font.setBold(true);
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(title) + kRoomBesideTitleInLines * metrics.height();
}

// A box's layout sets its size (a message box fixes it when shown), so the width goes into the
// layout: a strut across a box layout, or an empty item across the last row of a grid, which adds
// no height. A title too long for the screen leaves the box as wide as the screen.
void KeepTitleWhole(QDialog& box) {
  QLayout* layout = box.layout();
  const QMargins margins = layout->contentsMargins();
  const int width =
      std::min(TitleBarWidth(box.windowTitle()), box.screen()->availableGeometry().width()) -
      margins.left() - margins.right();
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                  grid->rowCount() - 1, 0, 1, grid->columnCount());
  } else if (auto* column = qobject_cast<QBoxLayout*>(layout)) {
    column->addStrut(width);
  }
}

}  // namespace startgarten
