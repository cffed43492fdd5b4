#include "app/view/check_box_view.h"

namespace startgarten {

CheckBoxView::CheckBoxView(TForm1& form, TCheckBox& model, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), model_(model) {
  model_.SetRepaint([this] { Show(); });
  connect(this, &QAbstractButton::clicked, this,
          [&form, &model] { form.HandleEvent([&model] { model.UserClick(); }); });
  Show();
}

CheckBoxView::~CheckBoxView() {
  model_.SetRepaint(nullptr);
}

void CheckBoxView::Show() {
  setChecked(model_.Checked());
  setEnabled(model_.Enabled());
}

}  // namespace startgarten
