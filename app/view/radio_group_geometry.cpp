#include "app/view/radio_group_geometry.h"

namespace startgarten {

QRect RadioItemRect(int index, int itemCount, int columns, QSize groupSize, int textHeight) {
  const int rows = (itemCount + columns - 1) / columns;
  const int width = (groupSize.width() - 10) / columns;
  const int freeHeight = groupSize.height() - textHeight - 5;
  const int height = freeHeight / rows;
  const int topMargin = textHeight + 1 + (freeHeight % rows) / 2;
  return QRect((index / rows) * width + 8, (index % rows) * height + topMargin, width, height);
}

}  // namespace startgarten
