#include "platform/drives/folder/dos_attrib_value.h"

#include <charconv>
#include <cstdio>

namespace startgarten::platform {

namespace {

constexpr uint32_t kValidAttributeField = 0x1;  // XATTR_DOSINFO_ATTRIB of the valid flags

// The parts of a value: its text, and for the binary form where the structure begins.
struct Layout {
  std::string_view text;
  size_t structure = 0;  // 0 for the text form
};

uint32_t Little32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

void PutLittle32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::optional<uint32_t> HexText(std::string_view text) {
  if (text.size() <= 2 || !text.starts_with("0x")) return std::nullopt;
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string HexOf(uint32_t attributes) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "0x%x", attributes);
  return {text, static_cast<size_t>(length)};
}

// Binary: after the text, its NUL and padding to an even offset, a 16-bit version of 3 to 5,
// the same version in 32 bits, the valid flags and the attribute field.
std::optional<Layout> Parse(std::string_view value) {
  const size_t nul = value.find('\0');
  if (nul == std::string_view::npos ||
      value.find_first_not_of('\0', nul) == std::string_view::npos) {
    return Layout{value.substr(0, nul), 0};
  }
  const size_t structure = (nul + 2) & ~size_t{1};
  if (value.size() < structure + 14) return std::nullopt;
  const unsigned version = static_cast<unsigned char>(value[structure]) |
                           static_cast<unsigned char>(value[structure + 1]) << 8;
  if (version < 3 || version > 5 || Little32(value, structure + 2) != version) return std::nullopt;
  return Layout{value.substr(0, nul), structure};
}

size_t AttributeField(const Layout& layout) {
  return layout.structure + 10;
}

}  // namespace

std::optional<uint32_t> DosAttribAttributes(std::string_view value) {
  const std::optional<Layout> layout = Parse(value);
  if (!layout) return std::nullopt;
  if (layout->structure == 0) return HexText(layout->text);
  if (Little32(value, layout->structure + 6) & kValidAttributeField) {
    return Little32(value, AttributeField(*layout));
  }
  return HexText(layout->text).value_or(0);
}

std::optional<std::string> WithDosAttribAttributes(std::string_view value, uint32_t attributes) {
  const std::optional<Layout> layout = Parse(value);
  if (!layout) return std::nullopt;
  if (layout->structure == 0) {
    if (!HexText(layout->text)) return std::nullopt;
    return HexOf(attributes) + std::string(value.substr(layout->text.size()));
  }
  // The text, when there is one, repeats the attributes for older readers.
  std::string text = layout->text.empty() ? std::string() : HexOf(attributes);
  std::string result = text + '\0';
  if (result.size() % 2) result += '\0';
  const size_t structure = result.size();
  result.append(value.substr(layout->structure));
  PutLittle32(result, structure + 6, Little32(result, structure + 6) | kValidAttributeField);
  PutLittle32(result, structure + 10, attributes);
  return result;
}

}  // namespace startgarten::platform
