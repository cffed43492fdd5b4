#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/byte_order.h"

namespace startgarten::test_support {

// user.DOSATTRIB in Samba's binary form of this version (3 to 5 are known), with the attributes
// valid and repeated in the leading text, and made-up times after them.
inline std::string SambaDosAttrib(uint16_t version, uint32_t attributes) {
  char text[16];
  std::string value(text,
                    static_cast<size_t>(std::snprintf(text, sizeof text, "0x%x", attributes)));
  value += '\0';
  if (value.size() % 2) value += '\0';
  const auto put = [&value](uint64_t number, int bytes) {
    AppendLittleEndian(value, number, bytes);
  };
  put(version, 2);
  put(version, 4);
  put(1, 4);  // valid flags: the attribute field
  put(attributes, 4);
  const int times = version == 3 ? 4 : version == 4 ? 2 : 1;
  for (int i = 0; i < times; ++i) put(0x01D9A1B2C3D4E5F6 + i, 8);
  return value;
}

}  // namespace startgarten::test_support
