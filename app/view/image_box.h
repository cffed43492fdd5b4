#pragma once

#include <QWidget>

#include "logos/picture.h"

namespace startgarten {

// Shows a TImage's picture stretched over the whole box, width and height each on its own, without
// smoothing; an empty picture paints nothing. The box has no frame and takes no focus.
class ImageBox : public QWidget {
 public:
  ImageBox(const TImage& image, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TImage& image_;
};

}  // namespace startgarten
