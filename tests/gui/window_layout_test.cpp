// The window as it opens: place, size, pages, controls, captions, pictures, states and message
// boxes.
#include <array>
#include <tuple>
#include <utility>

#include "app/view/message_box_dialog.h"
#include "app/view/pictures.h"
#include "app/view/spin_button.h"
#include "app/view/title_bar.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

class WindowLayoutTest : public QObject {
  Q_OBJECT

  // Each test's window, open on the default boot file.
  std::optional<WindowFixture> fixture;

 private slots:
  void init() { QVERIFY(fixture.emplace().Open()); }
  void cleanup() { fixture.reset(); }

  // Maximising enlarges the window; no control moves or grows.
  void opensOnTheDrivePageWithTheFocusOnTheTabStrip() {
    auto* pages = fixture->Find<QTabWidget>("PageControl1");
    QCOMPARE(pages->tabText(pages->currentIndex()), QString("Drive/DoubleSpace"));
    QCOMPARE(QApplication::focusWidget(), pages->tabBar());

    std::vector<std::pair<QWidget*, QRect>> placed;
    for (QWidget* control : fixture->window.centralWidget()->findChildren<QWidget*>())
      placed.emplace_back(control, control->geometry());
    const QSize opened = fixture->window.size();
    fixture->window.showMaximized();
    QTRY_VERIFY(fixture->window.width() > opened.width());
    for (const auto& [control, geometry] : placed)
      QVERIFY2(control->geometry() == geometry, qPrintable(control->objectName()));
  }

  // The outer top-left corner is at (200, 105) in the screen's pixels and the client area, below
  // the menu bar, which stays in the window also where desktops offer a global one, is 300 x 241
  // pixels at 96 dpi. At a scale factor of 1.5 the font grows from 11 to 17 pixels, and the layout
  // with the line height of that font, which is not quite 1.5 times the 13 pixels of the design.
  void opensAtItsPlaceAndSizeAtAnyScale() {
    const qreal ratio = fixture->window.devicePixelRatio();
    QCOMPARE((QPointF(fixture->window.frameGeometry().topLeft()) * ratio).toPoint(),
             QPoint(200, 105));
    QVERIFY(!fixture->window.menuBar()->isNativeMenuBar());
    const QRect client = fixture->window.centralWidget()->geometry();
    QCOMPARE(client.top(), fixture->window.menuBar()->geometry().bottom() + 1);
    if (ratio == 1) QCOMPARE(client.size(), QSize(300, 241));
    // The offscreen screen has 96 logical pixels per inch, so the ratio is its density's.
    QFont font = fixture->window.font();
    font.setPixelSize(qRound(11 * ratio));
    const qreal growth = QFontMetrics(font).height() / 13.0;
    const QSizeF device = QSizeF(client.size()) * ratio;
    QVERIFY2(qAbs(device.width() / (300 * growth) - 1) < 0.01 &&
                 qAbs(device.height() / (241 * growth) - 1) < 0.01,
             qPrintable(QString("%1 x %2").arg(client.width()).arg(client.height())));
  }

  // Every page area holds at least 283 x 161 pixels, and each page's controls lie inside it. A
  // spin edit stands on its check box's line between "Für" and "Sek.", its buttons inside its
  // right end where typed text does not run.
  void controlsStandWhereTheLayoutPutsThem() {
    fixture->ShowPage(0);
    auto* pages = fixture->Find<QTabWidget>("PageControl1");
    for (int page = 0; page < pages->count(); ++page) {
      QWidget* area = pages->widget(page);
      QVERIFY(area->width() >= 283 && area->height() >= 161);
      for (QWidget* control : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(area->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
    for (const auto& row : {std::array{"CheckBox1", "Label1", "SpinEdit1", "Label2"},
                            std::array{"CheckBox2", "Label3", "SpinEdit2", "Label4"}}) {
      const int line = fixture->Find(row[0])->geometry().center().y();
      for (size_t i = 1; i < row.size(); ++i) {
        const QRect left = fixture->Find(row[i - 1])->geometry();
        const QRect control = fixture->Find(row[i])->geometry();
        QVERIFY2(left.right() < control.left() && control.top() <= line && control.bottom() >= line,
                 row[i]);
      }
    }
    auto* spinEdit = fixture->Find<QLineEdit>("SpinEdit2");
    spinEdit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(spinEdit, "-123456789");
    spinEdit->repaint();  // the field scrolls its text as it paints
    const int cursor = spinEdit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    for (const SpinButton* button : spinEdit->findChildren<SpinButton*>()) {
      QVERIFY(spinEdit->rect().contains(button->geometry()));
      QVERIFY(button->geometry().right() >= spinEdit->width() - 4);
      QVERIFY(cursor < button->geometry().left());
    }

    // The radio buttons fill the group's columns top to bottom, then left to right, in cells of
    // one size that follow each other without a gap, inside the group below its caption: the
    // first group's two in one row, the second group's three in one column.
    for (const char* name : {"RadioGroup1", "RadioGroup2"}) {
      auto* group = fixture->Find<RadioGroupView>(name);
      const auto& buttons = group->Buttons();
      const QRect first = buttons.front()->geometry();
      const QPoint step =
          name == std::string("RadioGroup1") ? QPoint(first.width(), 0) : QPoint(0, first.height());
      for (size_t i = 1; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->geometry(), first.translated(step * int(i)));
      const QRect cells = first.united(buttons.back()->geometry());
      QVERIFY2(first.top() >= 13 && group->rect().contains(cells), name);
    }
  }

  // The substitute font is as narrow as the layout's sizes assume.
  void captionsFitTheirControls() {
    for (const QLabel* label : fixture->window.findChildren<QLabel*>())
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->text()));
    const int indicatorAndGap = 13 + 4;
    for (const QAbstractButton* box : fixture->window.findChildren<QAbstractButton*>()) {
      if (!box->inherits("QCheckBox") && !box->inherits("QRadioButton")) continue;
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) + indicatorAndGap <= box->width(),
               qPrintable(box->text()));
    }
  }

  // A screen reader finds each control by its role and a name taken from what the window shows:
  // a spin edit and the combo box by the labels beside them, which it reports as their labels, the
  // third DriveSpace box by all lines of its caption, a picture by its caption. A click on a
  // further line of that caption clicks the box.
  void controlsHaveTheRolesAndNamesAScreenReaderNeeds() {
    const QList<SpinButton*> arrows = fixture->Find("SpinEdit2")->findChildren<SpinButton*>();
    const std::tuple<QObject*, QAccessible::Role, QString> rows[] = {
        {fixture->Find("SpinEdit1"), QAccessible::EditableText, "Für Sek."},
        {arrows[0], QAccessible::Button, "Erhöhen"},
        {arrows[1], QAccessible::Button, "Verringern"},
        {fixture->Find("ComboBox1"), QAccessible::ComboBox, "Startart:"},
        {fixture->Find<RadioGroupView>("RadioGroup1")->Buttons()[0], QAccessible::RadioButton,
         "DOS"},
        {fixture->Find<RadioGroupView>("RadioGroup2")->Buttons()[2], QAccessible::RadioButton,
         "Immer doppelte Pufferung"},
        {fixture->Find("CheckBox10"), QAccessible::CheckBox,
         "Command.Com und DBLSpace/DRVSpace.BIN an das obere Ende des konventionellen Speichers "
         "laden."},
        {fixture->Find("Image2"), QAccessible::Graphic, "2. Ende-Logo"},
        {fixture->Find("TabSheet3"), QAccessible::Client, "Pufferung"},
    };
    for (const auto& [control, role, name] : rows) {
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
      QCOMPARE(std::pair(accessible->role(), accessible->text(QAccessible::Name)),
               std::pair(role, name));
    }
    QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(fixture->Find("ComboBox1"));
    fixture->form.ComboBox1.SetText("frei");
    QCOMPARE(combo->text(QAccessible::Value), QString("frei"));
    QCOMPARE(QAccessible::queryAccessibleInterface(fixture->Find("SpinEdit1"))
                 ->relations(QAccessible::Label)
                 .size(),
             2);

    for (const char* line : {"Label7", "Label6"}) {
      const bool before = fixture->form.CheckBox10.Checked();
      QTest::mouseClick(fixture->Find(line), Qt::LeftButton);
      QCOMPARE(fixture->form.CheckBox10.Checked(), !before);
      QCOMPARE(FocusName(), "CheckBox10");
    }
  }

  // The button pictures are strips of an enabled and a disabled image; the olive of their and the
  // icon's bottom-left pixel is transparent.
  void buttonPicturesAreStripsOfTwoImages() {
    for (const QImage& image :
         {OkGlyphStrip(), DefaultsGlyphStrip(), CancelGlyphStrip(), ProgramIconImage()}) {
      QCOMPARE(image.pixel(0, image.height() - 1), qRgb(0x80, 0x80, 0x00));
      if (image.width() == image.height()) continue;  // the icon
      const QSize half(image.width() / 2, image.height());
      const QImage enabled = GlyphIcon(image).pixmap(half).toImage();
      QCOMPARE(enabled.pixelColor(0, half.height() - 1).alpha(), 0);
      QVERIFY(enabled != GlyphIcon(image).pixmap(half, QIcon::Disabled).toImage());
    }
  }

  // The window shows the states of the design where the boot file names no host drive.
  void designTimeStatesWhenTheHostDriveIsMissing() {
    QVERIFY(fixture.emplace("[Paths]\r\nWinDir=C:\\WINDOWS\r\n").Open());
    QCOMPARE(fixture->Shown("Fehler"), 1);
    QStringList shown;  // the captions of the boxes and radio buttons that are checked
    for (const QAbstractButton* box : fixture->window.findChildren<QAbstractButton*>())
      if (box->isChecked()) shown << box->text();
    const auto* combo = fixture->Find<QComboBox>("ComboBox1");
    shown << fixture->Find<QLineEdit>("SpinEdit2")->text() << combo->currentText()
          << QString::number(combo->currentIndex());
    QCOMPARE(shown, (QStringList{"Doppelte Pufferung für Controller die diese benötigen",
                                 "Windows 95", "Nach Windows-Ende DOS-Prompt?", "0", "", "-1"}));
  }

  // The boxes the user sees: title, text, icon and German button captions. Text and title show
  // exactly what they were given, also where it looks like markup. Each box is as wide as the
  // window manager's title bar needs for its title, also where the title is longer than the text.
  void messageBoxesShowTitleIconAndButtons() {
    // Each row's box, the answer of its last button, which the row clicks, and what the box shows:
    // the title, the text, the icon (3: critical) and the buttons' captions.
    const std::tuple<std::string, std::string, MessageButtons, MessageIcon, MessageResult, QString>
        rows[] = {
            {kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone,
             MessageResult::kCancel, QString("|%1|0|OK|Abbrechen").arg(kConfirmation.c_str())},
            {"Kann Datei C:\\<i>WIN&amp;\xDC\\start.bat nicht erstellen.", "Start[*]",
             MessageButtons::kOk, MessageIcon::kStop, MessageResult::kOk,
             "Start[*]|Kann Datei C:\\<i>WIN&amp;\u00DC\\start.bat nicht erstellen.|3|OK"},
            // A title longer than the text.
            {"Fehler", "HOST-Laufwerk nicht gefunden", MessageButtons::kOk, MessageIcon::kNone,
             MessageResult::kOk, "HOST-Laufwerk nicht gefunden|Fehler|0|OK"},
        };
    for (const auto& [text, title, buttons, icon, answer, shows] : rows) {
      QStringList seen;
      QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setSelection(0, static_cast<int>(label->text().size()));
        seen = {box->windowHandle()->title(), label->selectedText(), QString::number(box->icon())};
        for (QAbstractButton* button : box->buttons()) seen << button->text();
        QTest::mouseClick(box->buttons().last(), Qt::LeftButton);
        QVERIFY(box->width() >= TitleBarWidth(seen.front()));
      });
      QCOMPARE(MessageBoxDialogs().Show(text, title, buttons, icon), answer);
      QCOMPARE(seen.join('|'), shows);
    }
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
