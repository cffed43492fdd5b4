#include "app/unified_diff.h"

#include <algorithm>
#include <span>
#include <vector>

namespace startgarten {

namespace {

constexpr size_t kContext = 3;
// How far the search for the fewest edits goes: at most so many edits, and at most so many lines
// compared (its time), each edit keeping as many numbers again as edits before it (its memory).
// Beyond it the lines between the first and the last difference are shown as removed and added
// whole, still a correct diff; the boot and batch files this program writes come nowhere near.
constexpr size_t kMostEdits = 1000;
constexpr size_t kMostComparisons = size_t{20} << 20;

enum class Edit : char { kKeep = ' ', kRemove = '-', kAdd = '+' };

// The lines of a text, each with its LF.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

using Span = std::span<const std::string_view>;

// The fewest edits that turn a into b (Myers' greedy search, each step's furthest reaches kept
// for the way back), or none when they are more than mostEdits.
std::optional<std::vector<Edit>> FewestEdits(Span a, Span b, size_t mostEdits) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  // reach[d][k + d]: how far along a a path of d edits reaches on diagonal k = x - y.
  std::vector<std::vector<int>> reach;
  // Whether the path of d edits to diagonal k takes its last edit from diagonal k + 1 (adding a
  // line of b) rather than from k - 1 (removing one of a).
  const auto addsLast = [&reach](int d, int k) {
    const std::vector<int>& last = reach[d - 1];
    return k == -d || (k != d && last[k - 1 + d - 1] < last[k + 1 + d - 1]);
  };
  for (int d = 0; d <= static_cast<int>(mostEdits); ++d) {
    std::vector<int>& now = reach.emplace_back(2 * d + 1);
    for (int k = -d; k <= d; k += 2) {
      int x = 0;
      if (d > 0) x = addsLast(d, k) ? reach[d - 1][k + d] : reach[d - 1][k - 2 + d] + 1;
      while (x < n && x - k < m && a[x] == b[x - k]) ++x;
      now[k + d] = x;
      if (x != n || x - k != m) continue;
      std::vector<Edit> edits;
      for (int e = d; e > 0; --e) {
        const bool added = addsLast(e, k);
        const int fromK = added ? k + 1 : k - 1;
        const int fromX = reach[e - 1][fromK + e - 1];
        for (; x > fromX + (added ? 0 : 1); --x) edits.push_back(Edit::kKeep);
        edits.push_back(added ? Edit::kAdd : Edit::kRemove);
        x = fromX, k = fromK;
      }
      edits.insert(edits.end(), x, Edit::kKeep);
      std::reverse(edits.begin(), edits.end());
      return edits;
    }
  }
  return std::nullopt;
}

// The edits that turn a into b: the lines they begin and end with kept, the rest by the fewest
// edits while that search stays within bounds.
std::vector<Edit> Edits(Span a, Span b) {
  size_t head = 0, tail = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
    ++tail;
  const Span middleA = a.subspan(head, a.size() - head - tail);
  const Span middleB = b.subspan(head, b.size() - head - tail);
  const size_t lines = middleA.size() + middleB.size();
  std::vector<Edit> edits(head, Edit::kKeep);
  const std::optional<std::vector<Edit>> middle =
      FewestEdits(middleA, middleB,
                  std::min({lines, kMostEdits, kMostComparisons / std::max<size_t>(lines, 1)}));
  if (middle) {
    edits.insert(edits.end(), middle->begin(), middle->end());
  } else {
    edits.insert(edits.end(), middleA.size(), Edit::kRemove);
    edits.insert(edits.end(), middleB.size(), Edit::kAdd);
  }
  edits.insert(edits.end(), tail, Edit::kKeep);
  return edits;
}

// "a,b" of a hunk's header: the first line and the number of lines, the line before it when
// there are none.
std::string Range(size_t linesBefore, size_t count) {
  return std::to_string(count > 0 ? linesBefore + 1 : linesBefore) + "," + std::to_string(count);
}

}  // namespace

std::string UnifiedDiff(std::string_view name, const std::optional<std::string>& before,
                        std::string_view after) {
  const std::string_view old = before ? std::string_view(*before) : std::string_view();
  if (before && old == after) return {};
  const std::vector<std::string_view> a = Lines(old), b = Lines(after);
  const std::vector<Edit> edits = Edits(a, b);
  std::string diff = (before ? "--- a/" + std::string(name) : std::string("--- /dev/null")) +
                     "\n+++ b/" + std::string(name) + "\n";
  size_t inA = 0, inB = 0;  // the lines of a and b before edit i
  for (size_t i = 0; i < edits.size();) {
    if (edits[i] == Edit::kKeep) {
      ++inA, ++inB, ++i;
      continue;
    }
    // A hunk from the context before this change to the context after the last change that
    // follows within twice the context.
    const size_t first = i - std::min(i, kContext);
    size_t end = i;
    for (size_t kept = 0; end < edits.size() && kept <= 2 * kContext; ++end)
      kept = edits[end] == Edit::kKeep ? kept + 1 : 0;
    while (end > i && edits[end - 1] == Edit::kKeep) --end;
    end = std::min(edits.size(), end + kContext);
    size_t startA = inA - (i - first), startB = inB - (i - first), countA = 0, countB = 0;
    std::string lines;
    for (size_t j = first; j < end; ++j) {
      const std::string_view line =
          edits[j] == Edit::kAdd ? b[startB + countB] : a[startA + countA];
      countA += edits[j] != Edit::kAdd;
      countB += edits[j] != Edit::kRemove;
      lines.append(1, static_cast<char>(edits[j])).append(line);
      if (!line.ends_with('\n')) lines.append("\n\\ No newline at end of file\n");
    }
    diff += "@@ -" + Range(startA, countA) + " +" + Range(startB, countB) + " @@\n" + lines;
    inA = startA + countA, inB = startB + countB, i = end;
  }
  return diff;
}

}  // namespace startgarten
