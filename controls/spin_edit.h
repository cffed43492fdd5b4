#pragma once

#include <cstdint>
#include <string>

#include "controls/control.h"

namespace startgarten {

// A text field with up and down buttons. The text is the source of truth: the value is derived
// from it strictly and is 0 when the text is not a number. There are no limits.
class TSpinEdit : public TControl {
 public:
  const std::string& Text() const { return text_; }
  int32_t Value() const;
  void SetValue(int32_t value);

  // The user's edit of the field (typing, deleting, pasting): the text as it now stands.
  void UserSetText(std::string text);
  // The up and down buttons and arrow keys: one step from the current value, which stays at
  // the end of the 32-bit range rather than wrapping around.
  void UserStep(int direction);

  // Whether typing this character is accepted: "+", "-", the digits and the locale's decimal
  // separator. Control keys are the window's business.
  static bool AcceptsTypedCharacter(char32_t character, char32_t decimalSeparator);

 private:
  std::string text_ = "0";
};

}  // namespace startgarten
