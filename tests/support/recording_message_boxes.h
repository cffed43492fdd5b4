#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/windows/message_box.h"

namespace startgarten {

// Answers message boxes for tests and records what was shown.
class RecordingMessageBoxes : public MessageBoxService {
 public:
  struct Shown {
    std::string text;
    std::string title;
    MessageButtons buttons;
    MessageIcon icon;
  };

  std::deque<MessageResult> answers;  // used in turn; after them every box is answered with OK
  std::vector<Shown> shown;

  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    if (answers.empty()) return MessageResult::kOk;
    const MessageResult answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Shown& box : shown) texts.push_back(box.text);
    return texts;
  }

  // Each box as "text|title|buttons|icon", the last two by their numbers.
  std::vector<std::string> Described() const {
    std::vector<std::string> described;
    for (const auto& [text, title, buttons, icon] : shown) {
      std::string box = text;
      box.append("|").append(title).append("|").append(std::to_string(int(buttons)));
      described.push_back(box.append("|").append(std::to_string(int(icon))));
    }
    return described;
  }
};

}  // namespace startgarten
