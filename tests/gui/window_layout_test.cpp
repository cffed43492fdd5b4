// The window as it opens: place, size, pages, controls, captions, pictures, states and message
// boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>

#include "app/view/message_box_dialog.h"
#include "app/view/pictures.h"
#include "app/view/radio_group_geometry.h"
#include "app/view/spin_button.h"
#include "app/view/window_metrics.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  // An error shows its message with a period under the application title.
  void opensOnTheDrivePageWithTheFocusOnTheTabStrip() {
    WindowFixture fixture(kBootFile + "BootMenuDefault=abc\r\n");
    QVERIFY(fixture.Open());
    const auto& error = fixture.boxes.shown.back();
    QCOMPARE(error.text, std::string("'abc' ist kein g\xFCltiger Integerwert."));
    QCOMPARE(error.title, std::string("Startgarten"));
    QCOMPARE(error.icon, MessageIcon::kStop);
    QCOMPARE(fixture.window.pos(), QPoint(200, 105));
    // The menu bar stays in the window, above the client area, also where desktops offer a
    // global one.
    QVERIFY(!fixture.window.menuBar()->isNativeMenuBar());
    QCOMPARE(fixture.window.centralWidget()->geometry(),
             QRect(0, fixture.window.menuBar()->height(), 300, 241));
    auto* pages = fixture.Find<QTabWidget>("PageControl1");
    QCOMPARE(pages->tabText(pages->currentIndex()), QString("Drive/DoubleSpace"));
    QCOMPARE(QApplication::focusWidget(), pages->tabBar());

    // Maximising enlarges the window; no control moves or grows.
    fixture.window.showMaximized();
    QTRY_VERIFY(fixture.window.width() > 300);
    QCOMPARE(pages->geometry(), QRect(1, 8, 295, 193));
    QCOMPARE(fixture.Find("BitBtn3")->geometry(), QRect(216, 208, 80, 25));
  }

  void controlsStandWhereTheLayoutPutsThem() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(0);
    QCOMPARE(fixture.Find("BitBtn2")->geometry(), QRect(106, 208, 100, 25));
    QCOMPARE(fixture.Find("CheckBox1")->geometry(), QRect(8, 16, 121, 17));
    // The spin buttons, 15 pixels wide, lie inside the field's right end, where no text runs.
    auto* spinEdit = fixture.Find<QLineEdit>("SpinEdit2");
    QCOMPARE(spinEdit->geometry(), QRect(205, 48, 49, 22));
    for (const SpinButton* button : spinEdit->findChildren<SpinButton*>()) {
      QCOMPARE(button->geometry().width(), 15);
      QCOMPARE(button->geometry().right(), spinEdit->width() - 3);
      QVERIFY(spinEdit->rect().contains(button->geometry()));
    }
    QCOMPARE(spinEdit->textMargins().right(), 15);

    // Radio buttons fill the columns top to bottom; half the height left over goes above them.
    const auto& windows = fixture.Find<RadioGroupView>("RadioGroup1")->Buttons();
    QCOMPARE(windows[0]->geometry(), QRect(8, 14, 127, 15));
    QCOMPARE(windows[1]->geometry(), QRect(135, 14, 127, 15));
    const auto& buffering = fixture.Find<RadioGroupView>("RadioGroup2")->Buttons();
    for (int i = 0; i < 3; ++i) QCOMPARE(buffering[i]->geometry(), QRect(8, 15 + 39 * i, 270, 39));
    QCOMPARE(RadioItemRect(2, 5, 2, QSize(210, 101), 16), QRect(8, 70, 100, 26));
    QCOMPARE(RadioItemRect(3, 5, 2, QSize(210, 101), 16), QRect(108, 18, 100, 26));

    // On another density the font grows first, and the layout with the font's text height.
    QCOMPARE(WindowFont(144).pixelSize(), 17);
    QCOMPARE(WindowScale::ForFont(WindowFont(96)).TextHeight(), 13);
    QCOMPARE(WindowScale(20)(8, 208, 80, 25), QRect(12, 320, 123, 38));
  }

  // The substitute font is as narrow as the layout's sizes assume; hints open and close as on
  // Windows.
  void captionsFitTheirControls() {
    WindowFixture fixture;
    for (const QLabel* label : fixture.window.findChildren<QLabel*>()) {
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->text()));
    }
    const int indicatorAndGap = 13 + 4;
    for (const QAbstractButton* box : fixture.window.findChildren<QAbstractButton*>()) {
      if (!box->inherits("QCheckBox") && !box->inherits("QRadioButton")) continue;
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) + indicatorAndGap <= box->width(),
               qPrintable(box->text()));
    }
    QCOMPARE(fixture.Find("BitBtn3")->toolTipDuration(), 2500);
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
  }

  // The button pictures are strips of an enabled and a disabled image; the olive of their and the
  // icon's bottom-left pixel is transparent.
  void buttonPicturesAreStripsOfTwoImages() {
    QCOMPARE(OkGlyphStrip().depth(), 24);
    const std::pair<QImage, QSize> pictures[] = {{OkGlyphStrip(), {36, 18}},
                                                 {DefaultsGlyphStrip(), {32, 16}},
                                                 {CancelGlyphStrip(), {36, 18}},
                                                 {ProgramIconImage(), {32, 32}}};
    for (const auto& [image, size] : pictures) {
      QCOMPARE(image.size(), size);
      QVERIFY(image.depth() == 24 || image.colorCount() == 16);
      QCOMPARE(image.pixel(0, size.height() - 1), qRgb(0x80, 0x80, 0x00));
      if (size.width() == size.height()) continue;  // the icon
      const QSize half(size.width() / 2, size.height());
      const QImage enabled = GlyphIcon(image).pixmap(half).toImage();
      QCOMPARE(enabled.pixelColor(0, half.height() - 1).alpha(), 0);
      QVERIFY(enabled != GlyphIcon(image).pixmap(half, QIcon::Disabled).toImage());
    }
  }

  void designTimeStatesWhenTheHostDriveIsMissing() {
    WindowFixture fixture("[Paths]\r\nWinDir=C:\\WINDOWS\r\n");
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.Shown("Fehler"), 1);
    for (int i = 1; i <= 12; ++i) {
      const QByteArray name = "CheckBox" + QByteArray::number(i);
      QCOMPARE(fixture.Find<QCheckBox>(name)->isChecked(), i == 12);
    }
    const auto& system = fixture.Find<RadioGroupView>("RadioGroup1")->Buttons();
    QVERIFY(!system[0]->isChecked() && system[1]->isChecked());
    QVERIFY(fixture.Find<RadioGroupView>("RadioGroup2")->Buttons()[1]->isChecked());
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit2")->text(), QString("0"));
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    QVERIFY(combo->currentIndex() == -1 && combo->currentText().isEmpty());
  }

  // The boxes the user sees: title, text, icon and German button captions. Text and title show
  // exactly what they were given, also where it looks like markup.
  void messageBoxesShowTitleIconAndButtons() {
    MessageBoxDialogs dialogs;
    QStringList seen;
    const auto answerNextBox = [&seen](const QString& caption) {
      QTimer::singleShot(0, [caption, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setSelection(0, static_cast<int>(label->text().size()));
        seen = QStringList{box->windowHandle()->title(), label->selectedText(),
                           QString::number(box->icon())};
        for (QAbstractButton* button : box->buttons()) {
          seen << button->text();
          if (button->text() == caption) QTest::mouseClick(button, Qt::LeftButton);
        }
        if (box->isVisible()) box->reject();  // no button has the caption
      });
    };
    answerNextBox("Abbrechen");
    QCOMPARE(dialogs.Show(kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone),
             MessageResult::kCancel);
    QCOMPARE(seen, (QStringList{"", QString::fromStdString(kConfirmation),
                                QString::number(QMessageBox::NoIcon), "OK", "Abbrechen"}));
    answerNextBox("OK");
    QCOMPARE(dialogs.Show("Kann Datei C:\\<i>WIN&amp;\xDC\\start.bat nicht erstellen.", "Start[*]",
                          MessageButtons::kOk, MessageIcon::kStop),
             MessageResult::kOk);
    QCOMPARE(
        seen,
        (QStringList{"Start[*]",
                     QStringLiteral("Kann Datei C:\\<i>WIN&amp;\u00DC\\start.bat nicht erstellen."),
                     QString::number(QMessageBox::Critical), "OK"}));
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
