#include "platform/drives/image/temporary_name_case.h"

#include "platform/drives/temporary_names.h"
#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether a part of a short name is written in small letters, in capitals, or needs a long name.
enum class LetterCase { kCapitals, kSmall, kMixed };
LetterCase LetterCaseOf(std::string_view part) {
  bool small = false, capitals = false;
  for (const char c : part) {
    if (static_cast<unsigned char>(c) >= 0x80) return LetterCase::kMixed;
    if (IsAsciiLetter(c)) (c >= 'a' ? small : capitals) = true;
  }
  if (small && capitals) return LetterCase::kMixed;
  return small ? LetterCase::kSmall : LetterCase::kCapitals;
}

std::string InSmallLetters(std::string text) {
  for (char& c : text) c = ToLowerCp1252(c);
  return text;
}

}  // namespace

std::string TemporaryNameInCaseOf(unsigned index, std::string_view target) {
  const size_t dot = target.rfind('.');
  const std::string_view base = target.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? "" : target.substr(dot + 1);
  const bool shortName = !base.empty() && base.size() <= 8 && extension.size() <= 3 &&
                         base.find_first_of(". +,;=[]") == std::string_view::npos &&
                         extension.find_first_of(". +,;=[]") == std::string_view::npos;
  const LetterCase baseCase = LetterCaseOf(base), extensionCase = LetterCaseOf(extension);
  if (!shortName || baseCase == LetterCase::kMixed || extensionCase == LetterCase::kMixed) {
    return TemporaryName(index);
  }
  const bool hexLetter = (index & 0x0F) >= 0x0A || (index & 0xF0) >= 0xA0;
  bool smallExtension = extensionCase == LetterCase::kSmall;
  unsigned chosen = index;
  if (smallExtension && !hexLetter) {
    smallExtension = index < 0x10;
    chosen = smallExtension ? kLetteredIndex + index : index;
  }
  std::string name = TemporaryName(chosen);
  const size_t nameDot = name.find('.');
  if (baseCase == LetterCase::kSmall) {
    name.replace(0, nameDot, InSmallLetters(name.substr(0, nameDot)));
  }
  if (smallExtension)
    name.replace(nameDot, std::string::npos, InSmallLetters(name.substr(nameDot)));
  return name;
}

}  // namespace startgarten::platform
