#pragma once

#include <QCheckBox>

#include "app/form1.h"

class QLabel;

namespace startgarten {

// Shows a TCheckBox. A click goes to the model, which toggles the state and runs the handler;
// the box shows whatever state and enablement the model has, however it changed.
class CheckBoxView : public QCheckBox {
 public:
  CheckBoxView(TForm1& form, TCheckBox& model, const QString& caption, QWidget* parent);
  ~CheckBoxView() override;

  // A label below the box that continues its caption: the box is named by its whole caption, and
  // a click on the label is a click on the box, as on the caption's first line.
  void AddCaptionLine(QLabel* line);

 protected:
  // The model decides the state.
  void nextCheckState() override {}
  // Clicks on the caption's further lines.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show();

  TCheckBox& model_;
};

}  // namespace startgarten
