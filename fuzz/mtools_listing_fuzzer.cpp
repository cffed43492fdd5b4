// Reads arbitrary text as the two listings of mtools that the image volume parses, and checks
// what the volume relies on: no entry is "." or "..", an entry of "mattrib -X" is one name with
// known attribute bits that reads back the same when printed again, and a last line without its
// line break (output cut short) changes nothing. The seeds are the listings of the parsers' unit
// test (tests/platform/mtools_listing_test.cpp).

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/drives/image/mtools_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten::platform::mtools_text;
  using startgarten::fuzz::Check;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string_view whole = text.substr(0, text.rfind('\n') + 1);
  constexpr uint32_t kKnown = 0x37;  // read-only, hidden, system, directory, archive
  const auto isDotEntry = [](std::string_view name) { return name == "." || name == ".."; };

  const auto attributes = ParseAttributeListing(text);
  Check(attributes == ParseAttributeListing(whole), "a line cut short changes the attributes");
  if (attributes) {
    std::string printed;  // the entries as mattrib prints them
    for (const AttributeLine& line : *attributes) {
      Check(!line.name.empty() && !isDotEntry(line.name), "an entry without a name");
      Check(line.name.find_first_of("/\n") == std::string::npos, "more than one name");
      Check((line.attributes & ~kKnown) == 0, "an unknown attribute bit");
      for (int bit = 5; bit >= 0; --bit) {  // the attributes' letters, from the highest bit down
        if ((line.attributes >> bit) & 1) printed += "RHSVDA"[bit];
      }
      printed += " ::/" + line.name + "\n";
    }
    Check(ParseAttributeListing(printed) == attributes, "an entry that reads back otherwise");
  }

  const auto clusters = ParseClusterListing(text);
  Check(clusters == ParseClusterListing(whole), "a line cut short changes the clusters");
  for (const ClusterLine& line : clusters.value_or(std::vector<ClusterLine>())) {
    Check(!line.shortName.empty() && !isDotEntry(line.shortName), "an entry without a name");
    Check((line.shortName + line.longName).find('\n') == std::string::npos, "a line break");
  }
  return 0;
}
