#include "platform/dos/write_record_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace startgarten::platform {

namespace {

constexpr std::string_view kHeader = "Startgarten write record 1\n";
constexpr std::string_view kFileTag = "file ";
constexpr std::string_view kEnd = "end\n";

// Paths may hold any byte but NUL: blanks, line breaks, "%" and bytes that are no ASCII letters
// are written as "%" and two hexadecimal digits, so that every field is one word.
std::string Escape(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == '%' || byte >= 0x7F) {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", byte);
      escaped += code;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string plain;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '%') {
      plain += text[at];
      continue;
    }
    if (at + 2 >= text.size()) return std::nullopt;
    const auto high = HexDigit(text[at + 1]);
    const auto low = HexDigit(text[at + 2]);
    if (!high || !low) return std::nullopt;
    plain += static_cast<char>(*high * 16 + *low);
    at += 2;
  }
  return plain;
}

// The next blank-separated word of a line.
std::string_view NextWord(std::string_view& line) {
  const size_t end = std::min(line.find(' '), line.size());
  const std::string_view word = line.substr(0, end);
  line.remove_prefix(std::min(end + 1, line.size()));
  return word;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view word, int base) {
  Number value{};
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (word.empty() || error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

std::optional<RecordedFile> ParseFileLine(std::string_view line) {
  if (!line.starts_with(kFileTag)) return std::nullopt;
  line.remove_prefix(kFileTag.size());
  RecordedFile file;
  const std::string_view letter = NextWord(line);
  const auto size = ParseNumber<uint64_t>(NextWord(line), 10);
  const auto fingerprint = ParseNumber<uint64_t>(NextWord(line), 16);
  const auto attributes = ParseNumber<uint32_t>(NextWord(line), 16);
  const auto path = Unescape(NextWord(line));
  const auto temporary = Unescape(NextWord(line));
  if (letter.size() != 1 || letter[0] < 'a' || letter[0] > 'z' || !size || !fingerprint ||
      !attributes || !path || !temporary || path->empty() || temporary->empty() || !line.empty()) {
    return std::nullopt;
  }
  return RecordedFile{letter[0], *path, *temporary, *size, *fingerprint, *attributes};
}

// A line that a cut may have ended: the beginning of a file line or of the end line, in the
// characters that a record's lines are written in.
bool IsCutLine(std::string_view line) {
  const bool printable =
      std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
  return printable &&
         (kFileTag.starts_with(line) || line.starts_with(kFileTag) || kEnd.starts_with(line));
}

}  // namespace

uint64_t Fingerprint(std::string_view bytes) {
  uint64_t hash = 0xCBF29CE484222325;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3;
  }
  return hash;
}

std::string FormatWriteRecord(const std::vector<RecordedFile>& files) {
  std::string text(kHeader);
  for (const RecordedFile& file : files) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%c %llu %016llX %02X ", file.letter,
                  static_cast<unsigned long long>(file.size),
                  static_cast<unsigned long long>(file.fingerprint), file.attributes);
    text.append(kFileTag).append(numbers);
    text.append(Escape(file.path)).append(" ").append(Escape(file.temporary)).append("\n");
  }
  return text.append(kEnd);
}

std::optional<std::vector<RecordedFile>> ParseWriteRecord(std::string_view text) {
  if (!text.starts_with(kHeader) || !text.ends_with(kEnd)) return std::nullopt;
  text = text.substr(kHeader.size(), text.size() - kHeader.size() - kEnd.size());
  std::vector<RecordedFile> files;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    std::optional<RecordedFile> file = ParseFileLine(text.substr(0, end));
    if (!file) return std::nullopt;
    files.push_back(std::move(*file));
    text.remove_prefix(end + 1);
  }
  if (files.empty()) return std::nullopt;
  return files;
}

bool IsCutOffWriteRecord(std::string_view text) {
  const size_t cut = std::min(text.find('\0'), text.size());
  if (text.find_first_not_of('\0', cut) != std::string_view::npos) return false;
  text = text.substr(0, cut);
  if (kHeader.starts_with(text)) return true;
  if (!text.starts_with(kHeader)) return false;
  text.remove_prefix(kHeader.size());
  for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    if (!ParseFileLine(text.substr(0, end))) return false;
    text.remove_prefix(end + 1);
  }
  return IsCutLine(text);
}

}  // namespace startgarten::platform
