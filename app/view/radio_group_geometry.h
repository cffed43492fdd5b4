#pragma once

#include <QRect>
#include <QSize>

namespace startgarten {

// Where item index of a radio group with itemCount items in the given number of columns lies,
// relative to the group's top-left corner: the items fill the columns top to bottom, then left to
// right, in equal cells below the caption line of textHeight pixels.
QRect RadioItemRect(int index, int itemCount, int columns, QSize groupSize, int textHeight);

}  // namespace startgarten
