#include "app/view/radio_group_view.h"

#include <QKeyEvent>
#include <functional>

#include "app/view/qt_text.h"
#include "app/view/radio_group_geometry.h"

namespace startgarten {

namespace {

// A radio button whose checked state only the model sets, and whose arrow keys move within its
// group. It stays auto-exclusive, as a screen reader takes only such a button for a radio button.
class ItemButton : public QRadioButton {
 public:
  ItemButton(const QString& caption, QWidget* parent, std::function<void(int)> step)
      : QRadioButton(caption, parent), step_(std::move(step)) {}

 protected:
  void nextCheckState() override {}

  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Left:
      case Qt::Key_Up:
        step_(-1);
        break;
      case Qt::Key_Right:
      case Qt::Key_Down:
        step_(1);
        break;
      default:
        QRadioButton::keyPressEvent(event);
    }
  }

 private:
  std::function<void(int)> step_;
};

}  // namespace

RadioGroupView::RadioGroupView(TForm1& form, TRadioGroup& model, const QString& caption,
                               int columns, const QRect& geometry, int textHeight, QWidget* parent)
    : QGroupBox(caption, parent), form_(form), model_(model) {
  setGeometry(geometry);
  const int count = static_cast<int>(model.Items().size());
  for (int i = 0; i < count; ++i) {
    auto* button = new ItemButton(FromCp1252(model.Items()[i]), this,
                                  [this, i](int direction) { Step(i, direction); });
    button->setGeometry(RadioItemRect(i, count, columns, geometry.size(), textHeight));
    connect(button, &QAbstractButton::clicked, this,
            [this, i] { form_.HandleEvent([this, i] { model_.UserClick(i); }); });
    buttons_.push_back(button);
  }
  model_.SetRepaint([this] { Show(); });
  Show();
}

RadioGroupView::~RadioGroupView() {
  model_.SetRepaint(nullptr);
}

QRadioButton* RadioGroupView::TabStop() const {
  const int selected = model_.ItemIndex();
  return buttons_[selected < 0 ? 0 : selected];
}

void RadioGroupView::Show() {
  QRadioButton* tabStop = TabStop();
  for (size_t i = 0; i < buttons_.size(); ++i) {
    // The model may select no item, but Qt never clears the checked one of exclusive buttons.
    buttons_[i]->setAutoExclusive(false);
    buttons_[i]->setChecked(static_cast<int>(i) == model_.ItemIndex());
    buttons_[i]->setAutoExclusive(true);
    buttons_[i]->setFocusPolicy(buttons_[i] == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

void RadioGroupView::Step(int index, int direction) {
  const int count = static_cast<int>(buttons_.size());
  QRadioButton* next = buttons_[(index + direction + count) % count];
  next->setFocus(Qt::TabFocusReason);
  next->click();
}

}  // namespace startgarten
