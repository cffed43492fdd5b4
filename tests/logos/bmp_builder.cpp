#include "tests/logos/bmp_builder.h"

namespace startgarten::testing {

namespace {

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

}  // namespace

std::string BuildBmp(const BmpFields& f) {
  std::string header;
  PutLittleEndian(header, f.headerSize, 4);
  if (f.headerSize == 12) {
    PutLittleEndian(header, uint32_t(f.width), 2);
    PutLittleEndian(header, uint32_t(f.height), 2);
    PutLittleEndian(header, 1, 2);
    PutLittleEndian(header, f.bitCount, 2);
  } else {
    PutLittleEndian(header, uint32_t(f.width), 4);
    PutLittleEndian(header, uint32_t(f.height), 4);
    PutLittleEndian(header, 1, 2);
    PutLittleEndian(header, f.bitCount, 2);
    PutLittleEndian(header, f.compression, 4);
    PutLittleEndian(header, uint32_t(f.pixelData.size()), 4);
    PutLittleEndian(header, 2835, 4);
    PutLittleEndian(header, 2835, 4);
    PutLittleEndian(header, f.coloursUsed, 4);
    PutLittleEndian(header, 0, 4);
    header.resize(f.headerSize, '\0');
  }
  for (uint32_t mask : f.masks) PutLittleEndian(header, mask, 4);
  const int entrySize = f.headerSize == 12 ? 3 : 4;
  for (uint32_t colour : f.palette) PutLittleEndian(header, colour, entrySize);

  std::string file = "BM";
  PutLittleEndian(file, uint32_t(14 + header.size() + f.pixelData.size()), 4);
  PutLittleEndian(file, 0, 4);
  PutLittleEndian(file, f.dataOffset, 4);
  return file + header + f.pixelData;
}

std::string PaddedRows(const std::vector<std::string>& rows) {
  std::string data;
  for (std::string row : rows) {
    row.resize((row.size() + 3) / 4 * 4, '\0');
    data += row;
  }
  return data;
}

}  // namespace startgarten::testing
