#include "controls/memo.h"

#include "platform/files.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

TMemo::TMemo(std::string_view text) {
  SetText(text);
}

void TMemo::SetText(std::string_view text) {
  lines_.clear();
  endsWithBreak_ = false;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      // CR LF is one break; a lone CR or LF is a break of its own.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines_.push_back(std::move(line));
      line.clear();
      endsWithBreak_ = true;
    } else {
      line += c;
      endsWithBreak_ = false;
    }
  }
  if (!endsWithBreak_ && !text.empty()) lines_.push_back(std::move(line));
}

void TMemo::LoadFromFile(const std::string& dosPath) {
  const platform::ReadFileResult file = platform::ReadWholeFile(dosPath, kCapacity);
  if (file.error != platform::kErrorSuccess) {
    throw Error(FormatMessageText(messages::kCannotOpenFile, dosPath));
  }
  if (file.tooLarge) throw Error(messages::kTextExceedsCapacity);
  SetText(file.bytes);
}

void TMemo::SaveToFile(const std::string& dosPath) const {
  platform::CreateWholeFile(
      dosPath, Text(),
      {FormatMessageText(messages::kCannotCreateFile, dosPath), messages::kStreamWriteError});
}

std::string TMemo::Line(int index) const {
  if (index < 0 || index >= Count()) return {};
  return lines_[index].substr(0, kMaxLineLength);
}

void TMemo::Append(std::string_view line) {
  if (lines_.empty() || endsWithBreak_) {
    lines_.emplace_back(line);
    endsWithBreak_ = true;
  } else if (line.empty()) {
    // CR LF and nothing after it: the text now ends with a break, which starts no line.
    endsWithBreak_ = true;
  } else {
    lines_.emplace_back(line);
  }
}

void TMemo::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  if (index == Count() - 1) endsWithBreak_ = true;
  lines_.erase(lines_.begin() + index);
}

void TMemo::DeleteIf(const std::function<bool(const std::string&)>& matches) {
  if (!lines_.empty() && matches(Line(Count() - 1))) endsWithBreak_ = true;
  std::erase_if(lines_,
                [&](const std::string& line) { return matches(line.substr(0, kMaxLineLength)); });
}

void TMemo::Clear() {
  lines_.clear();
  endsWithBreak_ = false;
}

std::string TMemo::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    text += lines_[i];
    if (i + 1 < lines_.size() || endsWithBreak_) text += "\r\n";
  }
  return text;
}

}  // namespace startgarten
