#pragma once

#include <QWidget>

#include "platform/windows/message_box.h"

namespace startgarten {

// The application's message boxes, shown modally over the main window so that none of its
// handlers can run while one is open.
class MessageBoxDialogs : public MessageBoxService {
 public:
  // The window the boxes belong to; until it exists they have no owner.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override;

 private:
  QWidget* owner_ = nullptr;
};

}  // namespace startgarten
