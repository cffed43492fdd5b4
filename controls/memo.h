#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace startgarten {

// The hidden line buffer: one text of CR LF separated lines that is loaded from a file,
// changed line by line and saved back byte for byte.
class TMemo {
 public:
  // The most bytes a loaded file may hold.
  static constexpr size_t kCapacity = size_t{1} << 20;
  // Line() returns at most this many characters.
  static constexpr size_t kMaxLineLength = 4096;

  explicit TMemo(std::string_view text = {});

  // Replaces the text with the file's bytes, every lone CR or LF turned into CR LF. Throws
  // messages::kCannotOpenFile and messages::kTextExceedsCapacity.
  void LoadFromFile(const std::string& dosPath);
  // Writes the text exactly; no line break is added. Throws messages::kCannotCreateFile and
  // messages::kStreamWriteError.
  void SaveToFile(const std::string& dosPath) const;

  // A final CR LF starts no line of its own; empty lines elsewhere count.
  int Count() const { return static_cast<int>(lines_.size()); }
  // Line index without its CR LF, cut to kMaxLineLength; empty past the last line.
  std::string Line(int index) const;
  void Append(std::string_view line);
  // Removes the line and the CR LF after it; a last line without one leaves the CR LF before it.
  void Delete(int index);
  // Deletes every line for which matches(Line(i)) holds, in one pass; the same as deleting each
  // in turn from the first to the last.
  void DeleteIf(const std::function<bool(const std::string&)>& matches);
  void Clear();

  std::string Text() const;

 private:
  void SetText(std::string_view text);

  std::vector<std::string> lines_;
  bool endsWithBreak_ = false;  // the text ends with CR LF (meaningful only with lines)
};

}  // namespace startgarten
