#pragma once

#include <QComboBox>

#include "app/form1.h"

namespace startgarten {

// Shows a TComboBox: an editable field and a list that opens with all its entries. The field's
// text and the selected entry are the model's two separate values; the user's choice from the
// list and the user's edits go to the model, which alone changes either.
class ComboBoxView : public QComboBox {
 public:
  ComboBoxView(TForm1& form, TComboBox& model, int itemHeight, QWidget* parent);
  ~ComboBoxView() override;

 private:
  void Show();

  TComboBox& model_;
};

}  // namespace startgarten
