#pragma once

#include <cstdint>
#include <vector>

namespace startgarten {

// A decoded picture: width x height pixels, rows top to bottom, each pixel 0xAARRGGBB.
// An empty picture (0 x 0) paints nothing.
struct TPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return width == 0 || height == 0; }
};

// An image box: holds its picture for the life of the window and paints it stretched.
struct TImage {
  TPicture Picture;
};

}  // namespace startgarten
