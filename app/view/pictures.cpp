#include "app/view/pictures.h"

#include <QPixmap>
#include <array>
#include <cstring>
#include <vector>

namespace startgarten {

namespace {

// The 16 colours of the Windows palette, in its order.
constexpr std::array<QRgb, 16> kWindowsColours = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFF808080,
    0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

// Letters of the pixel maps below and the palette index of their colour.
int PaletteIndex(char letter) {
  switch (letter) {
    case 'K':
      return 0;  // black
    case 'r':
      return 1;  // dark red
    case 'g':
      return 2;  // dark green
    case '.':
      return 3;  // olive, the transparent background
    case 'n':
      return 4;  // navy
    case 'D':
      return 7;  // grey
    case 'L':
      return 8;  // silver
    case 'R':
      return 9;  // red
    case 'G':
      return 10;  // bright green
    case 'Y':
      return 11;  // yellow
    case 'W':
      return 15;  // white
    default:
      return 3;
  }
}
constexpr int kBackground = 3;
constexpr int kDisabledShadow = 7;
constexpr int kDisabledHighlight = 15;

constexpr const char* kTick[] = {
    "..................", "..................", "..................", "..............GGn.",
    ".............Gggn.", "............Gggn..", "...........Gggn...", "..........Gggn....",
    ".GGn.....Gggn.....", ".Gggn...Gggn......", "..Gggn.Gggn.......", "...GggGggn........",
    "....Ggggn.........", ".....Ggn..........", "......n...........", "..................",
    "..................", "..................",
};

constexpr const char* kRingAndBar[] = {
    "................", ".....RRRRRr.....", "...RRRRrrRRRr...", "..RRRrr..rRRRr..",
    "..RRr.....RRRr..", ".RRr.....RRrRRr.", ".RRr....RRr.rRr.", ".Rr....RRr...Rr.",
    ".Rr...RRr....Rr.", ".RRr.RRr....RRr.", ".rRRRRr.....RRr.", "..RRRr.....RRr..",
    "..rRRRr..RRRRr..", "...rrRRRRRRrr...", ".....rrrrrr.....", "................",
};

constexpr const char* kCross[] = {
    "..................", "..................", "..................", "..RRr........RRr..",
    "...RRr......RRr...", "....RRr....RRr....", ".....RRr..RRr.....", "......RRrRRr......",
    ".......RRRr.......", ".......RRRr.......", "......RRrRRr......", ".....RRr..RRr.....",
    "....RRr....RRr....", "...RRr......RRr...", "..RRr........RRr..", "..................",
    "..................", "..................",
};

constexpr const char* kFlameAndBlock[] = {
    "................................", "................................",
    "................................", ".................RR.............",
    "................RRR.............", "...............RRRRR............",
    "..............RRRRRRR...........", ".............RRRRRRRRR..........",
    "............RRRRRRRRRR..........", "...........RRRRRRRRRRRR.........",
    "..........RRRRRRYYRRRRRR........", "..........RRRRRYYYYRRRRR........",
    ".........RRRRRYYYYYRRRRRR.......", ".........RRRRYYYYYYYRRRRR.......",
    "........RRRRRYYYYYYYRRRRR.......", "........RRRRYYYYYYYYYRRRR.......",
    "........RRRRYYYYYYYYYRRRR.......", "........RRRYYYYYYYYYYRRR........",
    ".........RRRYYYYYYYYYRR.........", "...........RRYYYYYYYR...........",
    "................................", "...WWWWWWWWWWWWWWWWWWWWWWWWDK...",
    "...WLLLLLLLLLLLLLLLLLLLLLLLDK...", "...WLLLLLLLLLLLLLLLLLLLLLLLDK...",
    "...WLLLLLLLLLLLLLLLLLLLLLLLDK...", "...WLLLLLLLLLLLLLLLLLLLLLLLDK...",
    "...WLLLLLLLLLLLLLLLLLLLLLLLDK...", "...WLLLLLLLLLLLLLLLLLLLLLLLDK...",
    "...WLLLLLLLLLLLLLLLLLLLLLLLDK...", "...DDDDDDDDDDDDDDDDDDDDDDDDDK...",
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...", "................................",
};

// A square pixel map as rows of palette indices.
using IndexImage = std::vector<std::vector<int>>;

template <size_t N>
IndexImage FromPixelMap(const char* const (&rows)[N]) {
  IndexImage image(N, std::vector<int>(N, kBackground));
  for (size_t y = 0; y < N; ++y) {
    for (size_t x = 0; x < N && x < std::strlen(rows[y]); ++x)
      image[y][x] = PaletteIndex(rows[y][x]);
  }
  return image;
}

// The disabled image: the shape's outline in grey, with a white highlight one pixel below and to
// the right of it, as Windows draws disabled glyphs.
IndexImage DisabledImage(const IndexImage& enabled) {
  const int size = static_cast<int>(enabled.size());
  auto inShape = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < size && y < size && enabled[y][x] != kBackground;
  };
  auto onOutline = [&](int x, int y) {
    return inShape(x, y) &&
           (!inShape(x - 1, y) || !inShape(x + 1, y) || !inShape(x, y - 1) || !inShape(x, y + 1));
  };
  IndexImage disabled(size, std::vector<int>(size, kBackground));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (onOutline(x, y)) {
        disabled[y][x] = kDisabledShadow;
      } else if (onOutline(x - 1, y - 1)) {
        disabled[y][x] = kDisabledHighlight;
      }
    }
  }
  return disabled;
}

// The enabled image followed by the disabled one, in the given format: 24 bits per pixel or a
// 16-colour palette.
QImage Strip(const IndexImage& enabled, QImage::Format format) {
  const int size = static_cast<int>(enabled.size());
  const IndexImage images[] = {enabled, DisabledImage(enabled)};
  QImage strip(2 * size, size, format);
  if (format == QImage::Format_Indexed8) {
    strip.setColorTable(QList<QRgb>(kWindowsColours.begin(), kWindowsColours.end()));
  }
  for (int i = 0; i < 2; ++i) {
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const int index = images[i][y][x];
        if (format == QImage::Format_Indexed8) {
          strip.setPixel(i * size + x, y, index);
        } else {
          strip.setPixel(i * size + x, y, kWindowsColours[index]);
        }
      }
    }
  }
  return strip;
}

// The image with every pixel of its bottom-left pixel's colour made transparent.
QPixmap WithTransparentBackground(const QImage& image) {
  const QRgb background = image.pixel(0, image.height() - 1);
  QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < keyed.height(); ++y) {
    for (int x = 0; x < keyed.width(); ++x) {
      if (keyed.pixel(x, y) == background) keyed.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  return QPixmap::fromImage(keyed);
}

}  // namespace

QImage OkGlyphStrip() {
  return Strip(FromPixelMap(kTick), QImage::Format_RGB888);
}

QImage DefaultsGlyphStrip() {
  return Strip(FromPixelMap(kRingAndBar), QImage::Format_Indexed8);
}

QImage CancelGlyphStrip() {
  return Strip(FromPixelMap(kCross), QImage::Format_Indexed8);
}

QImage ProgramIconImage() {
  const IndexImage pixels = FromPixelMap(kFlameAndBlock);
  const int size = static_cast<int>(pixels.size());
  QImage image(size, size, QImage::Format_Indexed8);
  image.setColorTable(QList<QRgb>(kWindowsColours.begin(), kWindowsColours.end()));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) image.setPixel(x, y, pixels[y][x]);
  }
  return image;
}

QIcon GlyphIcon(const QImage& strip) {
  const QPixmap pixmap = WithTransparentBackground(strip);
  const int width = strip.width() / 2;
  QIcon icon;
  icon.addPixmap(pixmap.copy(0, 0, width, strip.height()), QIcon::Normal);
  icon.addPixmap(pixmap.copy(width, 0, width, strip.height()), QIcon::Disabled);
  return icon;
}

QIcon ProgramIcon() {
  return QIcon(WithTransparentBackground(ProgramIconImage()));
}

}  // namespace startgarten
