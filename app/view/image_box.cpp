#include "app/view/image_box.h"

#include <QImage>
#include <QPainter>

namespace startgarten {

ImageBox::ImageBox(const TImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

void ImageBox::paintEvent(QPaintEvent*) {
  const TPicture& picture = image_.Picture;
  if (picture.Empty()) return;
  // The pixels are 0xAARRGGBB words, which is QImage's ARGB32 layout.
  const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                     picture.height, picture.width * 4, QImage::Format_ARGB32);
  QPainter(this).drawImage(rect(), image);
}

}  // namespace startgarten
