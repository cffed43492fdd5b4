#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "support/byte_order.h"

namespace startgarten::test_support {

// user.DOSATTRIB in Samba's binary form of this version (3 to 5 are known), with the attributes
// valid and repeated in the leading text, and made-up times after them.
inline std::string SambaDosAttrib(uint16_t version, uint32_t attributes) {
  std::ostringstream text;
  text << "0x" << std::hex << attributes << '\0';
  std::string value = text.str();
  if (value.size() % 2) value += '\0';
  AppendLittleEndian(value, version, 2);
  AppendLittleEndian(value, version, 4);
  AppendLittleEndian(value, 1, 4);  // valid flags: the attribute field
  AppendLittleEndian(value, attributes, 4);
  const int times = version == 3 ? 4 : version == 4 ? 2 : 1;
  for (int i = 0; i < times; ++i) AppendLittleEndian(value, 0x01D9A1B2C3D4E5F6 + i, 8);
  return value;
}

}  // namespace startgarten::test_support
