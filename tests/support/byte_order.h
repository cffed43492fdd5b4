#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Numbers of size bytes in the little-endian order of the structures the tests build (boot
// sectors, partition tables, BMP headers, Samba's and the kernel's attribute values).
namespace startgarten::test_support {

inline void PutLittleEndian(std::string& bytes, size_t at, uint64_t value, int size) {
  for (int i = 0; i < size; ++i, value >>= 8) bytes[at + i] = static_cast<char>(value & 0xFF);
}

inline void AppendLittleEndian(std::string& bytes, uint64_t value, int size) {
  bytes.resize(bytes.size() + size);
  PutLittleEndian(bytes, bytes.size() - size, value, size);
}

inline uint64_t GetLittleEndian(std::string_view bytes, size_t at, int size) {
  uint64_t value = 0;
  for (int i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace startgarten::test_support
