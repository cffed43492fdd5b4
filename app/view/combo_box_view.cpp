#include "app/view/combo_box_view.h"

#include <QLineEdit>

#include "app/view/qt_text.h"

namespace startgarten {

ComboBoxView::ComboBoxView(TForm1& form, TComboBox& model, int itemHeight, QWidget* parent)
    : QComboBox(parent), model_(model) {
  setEditable(true);
  // QComboBox would select the entry whose text matches the field when editing finishes, and
  // complete what is typed; only a choice from the list selects an entry here.
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
  lineEdit()->setMaxLength(static_cast<int>(TComboBox::kMaxTypedLength));

  const int count = static_cast<int>(model_.Items().size());
  for (int i = 0; i < count; ++i) {
    addItem(FromCp1252(model_.Items()[i]));
    setItemData(i, QSize(0, itemHeight), Qt::SizeHintRole);
  }
  setMaxVisibleItems(count);
  setCurrentIndex(-1);

  connect(this, &QComboBox::activated, this, [this, &form](int index) {
    form.HandleEvent([this, index] { model_.UserChoose(index); });
  });
  connect(lineEdit(), &QLineEdit::textEdited, this, [this, &form](const QString& text) {
    form.HandleEvent([this, &text] { model_.UserEdit(ToCp1252(text)); });
  });
  model_.SetRepaint([this] { Show(); });
  Show();
}

ComboBoxView::~ComboBoxView() {
  model_.SetRepaint(nullptr);
}

// Touches only what differs: QComboBox rewrites the field whenever an index is set, even the
// current one.
void ComboBoxView::Show() {
  if (currentIndex() != model_.ItemIndex()) setCurrentIndex(model_.ItemIndex());
  const QString text = FromCp1252(model_.Text());
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

}  // namespace startgarten
