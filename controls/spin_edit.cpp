#include "controls/spin_edit.h"

#include <algorithm>

#include "platform/windows/number_text.h"

namespace startgarten {

int32_t TSpinEdit::Value() const {
  return TryStrToInt(text_).value_or(0);
}

void TSpinEdit::SetValue(int32_t value) {
  UserSetText(IntToStr(value));
}

void TSpinEdit::UserSetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Repaint();
}

void TSpinEdit::UserStep(int direction) {
  const int64_t next = int64_t{Value()} + direction;
  SetValue(static_cast<int32_t>(std::clamp<int64_t>(next, INT32_MIN, INT32_MAX)));
}

bool TSpinEdit::AcceptsTypedCharacter(char32_t character, char32_t decimalSeparator) {
  return character == U'+' || character == U'-' || (character >= U'0' && character <= U'9') ||
         character == decimalSeparator;
}

}  // namespace startgarten
