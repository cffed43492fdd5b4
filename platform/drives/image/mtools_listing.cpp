#include "platform/drives/image/mtools_listing.h"

#include <charconv>

#include "platform/windows/file_types.h"

namespace startgarten::platform::mtools_text {

namespace {

// The length of the UTF-8 character that begins with lead (1 for a stray byte).
size_t CharacterLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Takes count characters off the front of text; none when it has fewer.
std::optional<std::string_view> TakeCharacters(std::string_view& text, size_t count) {
  size_t bytes = 0;
  for (size_t i = 0; i < count; ++i) {
    if (bytes >= text.size()) return std::nullopt;
    bytes += CharacterLength(static_cast<unsigned char>(text[bytes]));
  }
  if (bytes > text.size()) return std::nullopt;
  const std::string_view taken = text.substr(0, bytes);
  text.remove_prefix(bytes);
  return taken;
}

bool TakeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

void SkipBlanks(std::string_view& text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

std::string_view TakeWord(std::string_view& text) {
  const size_t end = std::min(text.find(' '), text.size());
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A number of decimal digits only, within the range of the type.
template <typename Number>
std::optional<Number> DecimalNumber(std::string_view text) {
  Number value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

// The lines of text, without their line breaks; a last line without one is left out, as output
// cut short.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

uint32_t AttributeBit(char flag) {
  switch (flag) {
    case 'A':
      return kAttributeArchive;
    case 'D':
      return kAttributeDirectory;
    case 'S':
      return kAttributeSystem;
    case 'H':
      return kAttributeHidden;
    case 'R':
      return kAttributeReadOnly;
    default:
      return 0;
  }
}

// An entry line of "mdir -a -f -d", after its short name: size or <DIR>, date, time, the short
// base name again, the first cluster, and the long name if there is one.
std::optional<ClusterLine> ParseClusterDetails(std::string_view rest, ClusterLine line) {
  SkipBlanks(rest);
  const std::string_view size = TakeWord(rest);
  if (size != "<DIR>" && !DecimalNumber<uint64_t>(size)) return std::nullopt;
  SkipBlanks(rest);
  if (TakeWord(rest).size() != 10) return std::nullopt;  // the date
  SkipBlanks(rest);
  const std::string_view time = TakeWord(rest);
  if (time.size() < 4 || time.find(':') == std::string_view::npos) return std::nullopt;
  if (!TakeChar(rest, ' ') || !TakeChar(rest, ' ') || !TakeCharacters(rest, 8) ||
      !TakeChar(rest, ' ')) {
    return std::nullopt;
  }
  const std::optional<uint32_t> cluster = DecimalNumber<uint32_t>(TakeWord(rest));
  if (!cluster || !TakeChar(rest, ' ')) return std::nullopt;
  line.firstCluster = *cluster;
  if (TakeChar(rest, ' ')) line.longName = std::string(rest);
  return line;
}

}  // namespace

std::string Literal(std::string_view name) {
  std::string pattern;
  for (char c : name) {
    if (c == '[') {
      pattern += "[[]";
    } else {
      pattern += c;
    }
  }
  return pattern;
}

std::optional<std::string> FileOnly(std::string_view name) {
  const size_t at = name.find_first_not_of(']');
  if (at == std::string_view::npos) return std::nullopt;
  const size_t length = CharacterLength(static_cast<unsigned char>(name[at]));
  if (at + length > name.size()) return std::nullopt;
  std::string pattern = Literal(name.substr(0, at));
  pattern += '[';
  pattern += name.substr(at, length);
  pattern += ']';
  pattern += Literal(name.substr(at + length));
  return pattern;
}

std::string VolumePath(const std::vector<std::string>& directories, std::string_view last) {
  std::string path = "::";
  for (const std::string& directory : directories) {
    path += '/';
    path += Literal(directory);
  }
  path += '/';
  path += last;
  return path;
}

std::optional<std::vector<AttributeLine>> ParseAttributeListing(std::string_view text) {
  std::vector<AttributeLine> entries;
  for (std::string_view line : Lines(text)) {
    AttributeLine entry;
    while (!line.empty() && AttributeBit(line.front())) {
      entry.attributes |= AttributeBit(line.front());
      line.remove_prefix(1);
    }
    if (!TakeChar(line, ' ') || line.substr(0, 3) != "::/") return std::nullopt;
    const std::string_view name = line.substr(line.rfind('/') + 1);
    if (name.empty()) return std::nullopt;
    if (IsDotEntry(name)) continue;
    entry.name = std::string(name);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<ClusterLine>> ParseClusterListing(std::string_view text) {
  std::vector<ClusterLine> entries;
  for (std::string_view line : Lines(text)) {
    // Headings and sums begin with a blank or name the directory; entries with their name.
    if (line.empty() || line.front() == ' ' || line.substr(0, 14) == "Directory for ") continue;
    std::string_view rest = line;
    const auto base = TakeCharacters(rest, 8);
    if (!base || !TakeChar(rest, ' ')) return std::nullopt;
    const auto extension = TakeCharacters(rest, 3);
    if (!extension || !TakeChar(rest, ' ')) return std::nullopt;
    ClusterLine entry;
    entry.shortName = std::string(TrimRight(*base));
    if (!TrimRight(*extension).empty()) {
      entry.shortName += '.';
      entry.shortName += TrimRight(*extension);
    }
    const std::optional<ClusterLine> parsed = ParseClusterDetails(rest, std::move(entry));
    if (!parsed) return std::nullopt;
    if (!IsDotEntry(TrimRight(*base))) entries.push_back(*parsed);
  }
  return entries;
}

}  // namespace startgarten::platform::mtools_text
