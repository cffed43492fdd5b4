#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <vector>

#include "app/form1.h"

namespace startgarten {

// Shows a TRadioGroup: a frame with its caption in the top edge and one radio button per item,
// placed by the radio group rule. A click on an item goes to the model; the buttons show the
// model's selection, which may be none.
class RadioGroupView : public QGroupBox {
 public:
  RadioGroupView(TForm1& form, TRadioGroup& model, const QString& caption, int columns,
                 const QRect& geometry, int textHeight, QWidget* parent);
  ~RadioGroupView() override;

  const std::vector<QRadioButton*>& Buttons() const { return buttons_; }
  // The button the Tab key stops at: the selected one, or the first while none is.
  QRadioButton* TabStop() const;

 private:
  void Show();
  // Left and Up select the previous item, Right and Down the next one, wrapping around.
  void Step(int index, int direction);

  TForm1& form_;
  TRadioGroup& model_;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace startgarten
