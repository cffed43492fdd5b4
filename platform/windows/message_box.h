#pragma once

#include <string>

namespace startgarten {

enum class MessageButtons { kOk, kOkCancel };
enum class MessageIcon { kNone, kStop, kWarning };
enum class MessageResult { kOk, kCancel };

// The application's modal message box. The window shows a real one; tests answer it.
// Texts are code page 1252; an empty title gives an empty title bar.
class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual MessageResult Show(const std::string& text, const std::string& title,
                             MessageButtons buttons, MessageIcon icon) = 0;
};

}  // namespace startgarten
