#pragma once

#include <QLineEdit>

#include "app/form1.h"

namespace startgarten {

class SpinButton;

// Shows a TSpinEdit: a text field with an up and a down button inside its right end, where the
// text does not run. The field's text is the model's text; typing is filtered as the model says,
// with a beep for a refused character, and pasting is not. Up and Down step the value.
class SpinEditView : public QLineEdit {
 public:
  SpinEditView(TForm1& form, TSpinEdit& model, int buttonsWidth, QWidget* parent);
  ~SpinEditView() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Show();
  void Step(int direction);
  bool AcceptsTyped(const QString& text) const;

  TForm1& form_;
  TSpinEdit& model_;
  int buttonsWidth_;
  SpinButton* up_;
  SpinButton* down_;
};

}  // namespace startgarten
