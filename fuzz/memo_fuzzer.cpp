// Loads arbitrary bytes into the line buffer, applies a few line operations and compares the
// buffer after each with a model that keeps the rules as plain text operations: loading turns
// every lone CR and lone LF into CR LF and keeps every other byte; lines are cut at CR LF, a
// final CR LF starts no line; appending, removing and clearing act on the text as the line buffer
// rules say. The text is compared after every operation, the lines after loading and at the end.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/memo.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

namespace startgarten::fuzz {
namespace {

constexpr std::string_view kBreak = "\r\n";

std::string Loaded(std::string_view bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    text += bytes[i] == '\r' || bytes[i] == '\n' ? kBreak : bytes.substr(i, 1);
    if (bytes.substr(i, 2) == kBreak) ++i;
  }
  return text;
}

// The buffer's text is modelled as a plain string, changed by these functions by the rules.

// Every line, each cut as Line() cuts it.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find(kBreak, start), text.size());
    lines.push_back(text.substr(start, std::min(end - start, TMemo::kMaxLineLength)));
    start = end + kBreak.size();
  }
  return lines;
}

void Append(std::string& text, std::string_view line) {
  if (text.empty() || text.ends_with(kBreak)) {
    (text += line) += kBreak;
  } else {
    (text += kBreak) += line;
  }
}

// One pass from the first line to the last; after a removal the next line moves up.
template <typename Matches>
void RemoveEach(std::string& text, Matches matches) {
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find(kBreak, start), text.size());
    const size_t next = std::min(end + kBreak.size(), text.size());
    if (matches(text.substr(start, std::min(end - start, TMemo::kMaxLineLength)))) {
      text.erase(start, (end == text.size() ? end : next) - start);
    } else {
      start = next;
    }
  }
}

// Every line and the line count, after loading and at the end.
void CompareLines(const TMemo& memo, const std::string& model) {
  const std::vector<std::string> lines = Lines(model);
  Check(memo.Count() == static_cast<int>(lines.size()), "line count");
  for (int i = 0; i < memo.Count(); ++i) Check(memo.Line(i) == lines[i], "line");
  for (int past : {-1, memo.Count(), memo.Count() + 1}) Check(memo.Line(past).empty(), "no line");
}

}  // namespace
}  // namespace startgarten::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  using namespace startgarten::fuzz;
  SplitInput input(data, size);
  const std::string_view file = input.text;
  FuzzedDataProvider& operations = input.parameters;

  TMemo memo(file);
  std::string model = Loaded(file);
  CompareLines(memo, model);

  while (operations.remaining_bytes() > 0) {
    switch (operations.ConsumeIntegralInRange(0, 3)) {
      case 0: {
        // The program appends lines, never line breaks.
        const std::string line = WithoutLineBreaks(ConsumeTailString(operations, 20));
        memo.Append(line);
        Append(model, line);
        break;
      }
      case 1: {
        // The line of that number, none when there is no such line.
        const int index = operations.ConsumeIntegralInRange(-1, memo.Count() + 1);
        memo.Delete(index);
        int line = 0;
        RemoveEach(model, [&](const std::string&) { return line++ == index; });
        break;
      }
      case 2: {
        // Lines that begin with a text, or hold it, as the start script rules look for a call
        // inside a line.
        const bool inside = operations.ConsumeBool();
        const std::string part = ConsumeTailString(operations, 3);
        const auto matches = [&](const std::string& line) {
          return inside ? line.find(part) != std::string::npos : line.starts_with(part);
        };
        memo.DeleteIf(matches);
        RemoveEach(model, matches);
        break;
      }
      case 3:
        memo.Clear();
        model.clear();
        break;
    }
    Check(memo.Text() == model, "text");
  }
  CompareLines(memo, model);
  return 0;
}
