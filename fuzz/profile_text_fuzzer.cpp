// Writes one key into an arbitrary INI text and checks what the profile functions promise: the
// key reads back as written (trimmed, one pair of quotes removed), every other key reads as
// before, and every line but the one written keeps its bytes.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/profile_text.h"
#include "platform/windows/cp1252.h"

namespace startgarten::fuzz {
namespace {

using platform::FindProfileValue;

struct TextLine {
  std::string_view content;
  std::string_view end;  // "\r\n", "\r", "\n" or nothing at the end of the text
  bool operator==(const TextLine&) const = default;
};

std::vector<TextLine> Lines(std::string_view text) {
  std::vector<TextLine> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const size_t next = end == text.size() ? end : end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    lines.push_back({text.substr(0, end), text.substr(end, next - end)});
    text.remove_prefix(next);
  }
  return lines;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// What a read of a value written as value must return.
std::string_view AsRead(std::string_view value) {
  value = Trimmed(value);
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

// The names of sections and keys in the text, as a reader would pass them.
struct Names {
  std::vector<std::string_view> sections;
  std::vector<std::pair<std::string_view, std::string_view>> keys;  // section, key
};

Names NamesIn(std::string_view text) {
  Names names;
  std::optional<std::string_view> section;
  for (const TextLine& line : Lines(text)) {
    const std::string_view content = Trimmed(line.content);
    const size_t close = content.rfind(']');
    if (!content.empty() && content.front() == '[' && close != std::string_view::npos) {
      section = content.substr(1, close - 1);
      names.sections.push_back(*section);
    } else if (section && !content.empty()) {
      names.keys.emplace_back(*section, content.substr(0, content.find('=')));
    }
  }
  return names;
}

struct Target {
  std::string section;
  std::string key;
};

// An existing key, a new key in an existing section, or a new section, with names from the text
// or made up; the key as the writer accepts it: no "=", not empty, no leading "[".
Target ChooseTarget(FuzzedDataProvider& input, const Names& names) {
  Target target{WithoutLineBreaks(ConsumeTailString(input, 12)),
                WithoutLineBreaks(ConsumeTailString(input, 12))};
  const int kind = input.ConsumeIntegralInRange(0, 3);
  if ((kind == 0 || kind == 2) && !names.keys.empty()) {
    const auto& [section, key] =
        names.keys[input.ConsumeIntegralInRange<size_t>(0, names.keys.size() - 1)];
    if (kind == 0) target.section = section;
    target.key = key;
  } else if (kind == 1 && !names.sections.empty()) {
    target.section =
        names.sections[input.ConsumeIntegralInRange<size_t>(0, names.sections.size() - 1)];
  }
  std::erase(target.key, '=');
  if (!platform::IsValidProfileKey(target.key)) target.key.insert(0, "k");
  return target;
}

}  // namespace
}  // namespace startgarten::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  using namespace startgarten::fuzz;
  SplitInput input(data, size);
  const std::string text(input.text);

  const Names names = NamesIn(text);
  const auto [section, key] = ChooseTarget(input.parameters, names);
  const std::string value = WithoutLineBreaks(ConsumeTailString(input.parameters, 24));

  const std::string written = platform::SetProfileValue(text, section, key, value);

  Check(FindProfileValue(written, section, key) == AsRead(value), "the key reads back as written");

  // A sample of the keys, evenly spread, keeps each run short on texts with many lines.
  const size_t stride = std::max<size_t>(1, names.keys.size() / 4);
  for (size_t i = 0; i < names.keys.size(); i += stride) {
    const auto& [otherSection, otherKey] = names.keys[i];
    const bool isTheKey = EqualsIgnoreCase(Trimmed(otherSection), Trimmed(section)) &&
                          EqualsIgnoreCase(Trimmed(otherKey), Trimmed(key));
    Check(isTheKey || FindProfileValue(text, otherSection, otherKey) ==
                          FindProfileValue(written, otherSection, otherKey),
          "every other key reads as before");
  }

  // At most one line of the old text changes: the key's own line, or the last line when a new
  // section after it needs a line end; at most three lines are new.
  const std::vector<TextLine> before = Lines(text);
  const std::vector<TextLine> after = Lines(written);
  const size_t same = std::ranges::mismatch(before, after).in1 - before.begin();
  const auto [beforeEnd, afterEnd] =
      std::mismatch(before.rbegin(), before.rend() - same, after.rbegin(), after.rend() - same);
  const size_t sameAtEnd = beforeEnd - before.rbegin();
  Check(before.size() - same - sameAtEnd <= 1, "untouched lines keep their bytes");
  Check(after.size() - same - sameAtEnd <= 3, "only the key's lines are new");
  return 0;
}
