#pragma once

#include <QCheckBox>

#include "app/form1.h"

namespace startgarten {

// Shows a TCheckBox. A click goes to the model, which toggles the state and runs the handler;
// the box shows whatever state and enablement the model has, however it changed.
class CheckBoxView : public QCheckBox {
 public:
  CheckBoxView(TForm1& form, TCheckBox& model, const QString& caption, QWidget* parent);
  ~CheckBoxView() override;

 protected:
  // The model decides the state.
  void nextCheckState() override {}

 private:
  void Show();

  TCheckBox& model_;
};

}  // namespace startgarten
