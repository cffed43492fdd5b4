#include "logos/byte_reader.h"

#include "platform/error.h"
#include "platform/messages.h"

namespace startgarten {

std::string_view ByteReader::Take(uint64_t count) {
  if (count > Remaining()) throw Error(messages::kStreamReadError);
  std::string_view taken = bytes_.substr(position_, static_cast<size_t>(count));
  position_ += taken.size();
  return taken;
}

uint8_t ByteReader::U8() {
  return static_cast<uint8_t>(Take(1)[0]);
}

uint16_t ByteReader::U16() {
  std::string_view b = Take(2);
  return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
}

uint32_t ByteReader::U32() {
  std::string_view b = Take(4);
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(b[i]);
  return value;
}

}  // namespace startgarten
