#include "platform/profile_text.h"

#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

struct Line {
  size_t begin;       // first byte
  size_t contentEnd;  // where the line end starts
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}

// The first CR or LF from begin on, or the end of the text.
size_t ContentEnd(std::string_view text, size_t begin) {
  while (begin < text.size() && !IsLineBreak(text[begin])) ++begin;
  return begin;
}

// Where the line after the one whose content ends at contentEnd begins.
size_t NextLine(std::string_view text, size_t contentEnd) {
  if (contentEnd >= text.size()) return text.size();
  return contentEnd + (text.substr(contentEnd, 2) == "\r\n" ? 2 : 1);
}

std::string_view Content(std::string_view text, const Line& line) {
  return text.substr(line.begin, line.contentEnd - line.begin);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::string_view> SectionName(std::string_view content) {
  content = Trim(content);
  if (content.empty() || content.front() != '[') return std::nullopt;
  const size_t close = content.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(content.substr(1, close - 1));
}

std::string_view KeyName(std::string_view content) {
  return Trim(content.substr(0, content.find('=')));
}

std::string_view LineEnd(std::string_view text) {
  const size_t end = ContentEnd(text, 0);
  if (end == text.size()) return "\r\n";
  return text.substr(end, text.substr(end, 2) == "\r\n" ? 2 : 1);
}

// The first section line whose name matches. A section line begins with "[" after blanks, so
// the search goes from one "[" to the next (memchr) rather than through every line: the cost of
// finding a section late in a large file stays close to that of a single pass over its bytes.
std::optional<Line> FindSection(std::string_view text, std::string_view name) {
  for (size_t bracket = 0; (bracket = text.find('[', bracket)) != std::string_view::npos;) {
    size_t begin = bracket;
    while (begin > 0 && IsBlank(text[begin - 1])) --begin;
    const Line line{begin, ContentEnd(text, bracket)};
    if (begin == 0 || IsLineBreak(text[begin - 1])) {
      const std::optional<std::string_view> found = SectionName(Content(text, line));
      if (found && EqualsIgnoreCase(*found, name)) return line;
    }
    bracket = line.contentEnd;  // no later "[" on this line begins one
  }
  return std::nullopt;
}

// Where a key is, or would go, in the text.
struct Location {
  std::optional<Line> section;  // the first matching section line
  std::optional<Line> key;      // the first matching key line in that section
  Line lastNonBlank{0, 0};      // without a key: the section's last non-blank line
};

Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  Location location;
  location.section = FindSection(text, Trim(section));
  if (!location.section) return location;
  location.lastNonBlank = *location.section;
  key = Trim(key);
  for (size_t begin = NextLine(text, location.section->contentEnd); begin < text.size();) {
    const Line line{begin, ContentEnd(text, begin)};
    const std::string_view content = Trim(Content(text, line));
    if (SectionName(content)) break;
    if (!content.empty()) {
      location.lastNonBlank = line;
      if (!key.empty() && EqualsIgnoreCase(KeyName(content), key)) {
        location.key = line;
        break;
      }
    }
    begin = NextLine(text, line.contentEnd);
  }
  return location;
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::optional<std::string_view> FindProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key) {
  const Location location = Locate(text, section, key);
  if (!location.key) return std::nullopt;
  const std::string_view content = Content(text, *location.key);
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return WithoutQuotes(Trim(content.substr(equals + 1)));
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const Location location = Locate(text, section, key);
  const std::string_view lineEnd = LineEnd(text);
  std::string result;
  // Room for every case below (at most three line ends, "[", "]" and "="), so that a large text
  // is copied once and never again as the result grows.
  result.reserve(text.size() + section.size() + key.size() + value.size() + 16);
  if (location.key) {
    // The key line keeps its name as the file spells it; a line without "=" gets one.
    const Line& line = *location.key;
    const std::string_view content = Content(text, line);
    const size_t equals = content.find('=');
    size_t keep;
    if (equals == std::string_view::npos) {
      keep = line.begin + content.find_last_not_of(" \t") + 1;
      result.append(text.substr(0, keep)).append("=");
    } else {
      keep = line.begin + equals + 1;
      while (keep < line.contentEnd && (text[keep] == ' ' || text[keep] == '\t')) ++keep;
      result.append(text.substr(0, keep));
    }
    result.append(value).append(text.substr(line.contentEnd));
  } else if (location.section) {
    const size_t at = location.lastNonBlank.contentEnd;
    result.append(text.substr(0, at)).append(lineEnd);
    result.append(Trim(key)).append("=").append(value);
    result.append(text.substr(at));
  } else {
    result.append(text);
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') result.append(lineEnd);
    result.append("[").append(Trim(section)).append("]").append(lineEnd);
    result.append(Trim(key)).append("=").append(value).append(lineEnd);
  }
  return result;
}

bool IsValidProfileKey(std::string_view key) {
  key = Trim(key);
  return !key.empty() && key.find('=') == std::string_view::npos && key.front() != '[';
}

}  // namespace startgarten::platform
