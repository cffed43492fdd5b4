#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text that passes between us and mtools: paths on the volume, written so that mtools takes
// each name literally, and the listings it prints, read back. Names are UTF-8 here.
namespace startgarten::platform::mtools_text {

// A name as a pattern that matches only itself: mtools reads "[" as the start of a character
// class, so it becomes "[[]"; "]" alone, "*" and "?" never reach here (not valid names).
std::string Literal(std::string_view name);

// A pattern that matches the file of this name and never a directory: a name with a class in it
// is a pattern to mtools, and a pattern does not step into a directory it matches. The first
// character that is not "]" becomes a class of itself; none when there is no such character.
std::optional<std::string> FileOnly(std::string_view name);

// "::/" followed by the directories, each taken literally, and the last part as it stands.
std::string VolumePath(const std::vector<std::string>& directories, std::string_view last);

// One line of "mattrib -X": the FAT attribute bits and the entry's name (its long name, else its
// short name with its case).
struct AttributeLine {
  uint32_t attributes = 0;
  std::string name;
  bool operator==(const AttributeLine&) const = default;
};

// mtools prints each name as it is, line breaks and all: a long name holding one would read as
// further entries, which a stranger's image could forge. This pattern matches the names that hold
// one; a listing is only taken as it reads where it matches nothing.
inline constexpr const char* kLineBreakPattern = "*[\n]*";

// The entries of "mattrib -X DIR/*", without "." and ".."; none when a line is not of that form
// (output of another version). Only where kLineBreakPattern matches nothing is each line an entry.
std::optional<std::vector<AttributeLine>> ParseAttributeListing(std::string_view text);

// One line of "mdir -a -f -d": the entry's short name ("NAME.EXT", with its case), its long name
// when it has one, and its first cluster.
struct ClusterLine {
  std::string shortName;
  std::string longName;
  uint32_t firstCluster = 0;
  bool operator==(const ClusterLine&) const = default;
};

// The entries of "mdir -a -f -d DIR", without "." and ".."; none when a line that begins like an
// entry is not of that form. As for the attribute listing, each line is an entry only where
// kLineBreakPattern matches nothing in DIR.
std::optional<std::vector<ClusterLine>> ParseClusterListing(std::string_view text);

}  // namespace startgarten::platform::mtools_text
