#include "app/view/accessible_roles.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

#include "app/view/combo_box_view.h"
#include "app/view/image_box.h"

namespace startgarten {

namespace {

// An editable combo box: its name comes from its accessible name or its label, as any widget's;
// its field, the one child widget, holds the text, and the list opens as its action.
class AccessibleComboBox : public QAccessibleWidget {
 public:
  explicit AccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text type) const override {
    return type == QAccessible::Value ? Box()->currentText() : QAccessibleWidget::text(type);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.expandable = true;
    state.expanded = Box()->view()->isVisible();
    return state;
  }

  QStringList actionNames() const override {
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& action) override {
    if (action == showMenuAction()) return Box()->showPopup();
    QAccessibleWidget::doAction(action);
  }

 private:
  QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* AccessibleOf(const QString&, QObject* object) {
  if (auto* box = dynamic_cast<ComboBoxView*>(object)) return new AccessibleComboBox(box);
  if (auto* image = dynamic_cast<ImageBox*>(object)) {
    return new QAccessibleWidget(image, QAccessible::Graphic);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleRoles() {
  static const bool installed = (QAccessible::installFactory(AccessibleOf), true);
  (void)installed;
}

}  // namespace startgarten
