#include "app/nearest_name.h"

#include <algorithm>
#include <vector>

#include "platform/windows/cp1252.h"

namespace startgarten {

namespace {

constexpr size_t kMostEdits = 2;

// The edits between a and b, letters compared without regard to case; a swap of two neighbours
// counts one (the optimal string alignment distance).
size_t EditDistance(std::string_view a, std::string_view b) {
  const auto same = [&](size_t i, size_t j) { return ToLowerCp1252(a[i]) == ToLowerCp1252(b[j]); };
  // Three rows of the table: for the prefixes of a of length i - 2, i - 1 and i.
  std::vector<size_t> beforeLast(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) last[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (same(i - 1, j - 1) ? 0 : 1)});
      if (i > 1 && j > 1 && same(i - 1, j - 2) && same(i - 2, j - 1))
        row[j] = std::min(row[j], beforeLast[j - 2] + 1);
    }
    std::swap(beforeLast, last);
    std::swap(last, row);
  }
  return last[b.size()];
}

}  // namespace

std::optional<std::string_view> NearestName(std::string_view given,
                                            std::span<const std::string_view> names) {
  std::optional<std::string_view> nearest;
  size_t nearestDistance = kMostEdits + 1;
  bool tied = false;
  for (std::string_view name : names) {
    const size_t distance = EditDistance(given, name);
    if (distance > kMostEdits || distance * 3 > name.size()) continue;
    if (distance < nearestDistance) {
      nearest = name;
      nearestDistance = distance;
      tied = false;
    } else if (distance == nearestDistance) {
      tied = true;
    }
  }
  return tied ? std::nullopt : nearest;
}

}  // namespace startgarten
