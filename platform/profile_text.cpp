#include "platform/profile_text.h"

#include <vector>

#include "platform/cp1252.h"

namespace startgarten::platform {

namespace {

struct Line {
  size_t begin;       // first byte
  size_t contentEnd;  // where the line end starts
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({begin, text.size()});
      break;
    }
    lines.push_back({begin, end});
    begin = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
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
  const size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos) return "\r\n";
  return text.substr(end, text.substr(end, 2) == "\r\n" ? 2 : 1);
}

// Where a key is, or would go, in the text.
struct Location {
  std::vector<Line> lines;
  std::optional<size_t> section;  // line of the first matching section
  std::optional<size_t> key;      // line of the first matching key in it
  size_t lastNonBlank = 0;        // last non-blank line of that section
};

Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  Location location;
  location.lines = SplitLines(text);
  section = Trim(section);
  key = Trim(key);
  for (size_t i = 0; i < location.lines.size(); ++i) {
    const Line& line = location.lines[i];
    const std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
    if (const std::optional<std::string_view> name = SectionName(content)) {
      if (location.section) break;
      if (EqualsIgnoreCase(*name, section)) location.section = location.lastNonBlank = i;
      continue;
    }
    if (!location.section) continue;
    if (!Trim(content).empty()) location.lastNonBlank = i;
    if (!location.key && !key.empty() && EqualsIgnoreCase(KeyName(content), key)) {
      location.key = i;
    }
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
  const Line& line = location.lines[*location.key];
  const std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return WithoutQuotes(Trim(content.substr(equals + 1)));
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const Location location = Locate(text, section, key);
  const std::string_view lineEnd = LineEnd(text);
  std::string result;
  if (location.key) {
    // The key line keeps its name as the file spells it; a line without "=" gets one.
    const Line& line = location.lines[*location.key];
    const std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
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
    const size_t at = location.lines[location.lastNonBlank].contentEnd;
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
