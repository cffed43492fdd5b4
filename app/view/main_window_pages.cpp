#include "app/view/main_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/view/check_box_view.h"
#include "app/view/classic_look.h"
#include "app/view/combo_box_view.h"
#include "app/view/image_box.h"
#include "app/view/radio_group_view.h"
#include "app/view/spin_edit_view.h"

namespace startgarten {

namespace {
// The spin edits' up and down buttons together.
constexpr int kSpinButtonsWidth = 15;
// The height of an entry in ComboBox1's list.
constexpr int kListEntryHeight = 13;
}  // namespace

// Positions on a page are relative to the page area, inside the tab control's frame and below
// its tabs.
void MainWindow::BuildPages() {
  QWidget* menu = AddPage("TabSheet1", "Menü");
  QWidget* checkBox1 = AddCheckBox(menu, "CheckBox1", form_.CheckBox1, "Boot Menü anzeigen",
                                   scale_(8, 16, 121, 17), "Zeigt Das BOOT-MENÜ beim Start an");
  QLabel* label1 = AddLabel(menu, "Label1", "Für", scale_(180, 17, 16, 13));
  QWidget* spinEdit1 = AddSpinEdit(menu, "SpinEdit1", form_.SpinEdit1, scale_(205, 14, 49, 22),
                                   "Wie lange wird das BootMenü angezeigt?");
  NameByLabels(spinEdit1, {label1, AddLabel(menu, "Label2", "Sek.", scale_(259, 16, 22, 13))});
  QWidget* checkBox2 =
      AddCheckBox(menu, "CheckBox2", form_.CheckBox2, "F-Tasten beim Start beachten",
                  scale_(8, 48, 161, 17), "F8,F4 und F5 werden beim Start beachtet");
  QLabel* label3 = AddLabel(menu, "Label3", "Für", scale_(180, 49, 15, 13));
  QWidget* spinEdit2 = AddSpinEdit(menu, "SpinEdit2", form_.SpinEdit2, scale_(205, 48, 49, 22),
                                   "Wielange wird der Start verzögert?");
  NameByLabels(spinEdit2, {label3, AddLabel(menu, "Label4", "Sek.", scale_(259, 49, 22, 13))});
  QLabel* label5 = AddLabel(menu, "Label5", "Startart:", scale_(8, 83, 37, 13));
  auto* comboBox1 = new ComboBoxView(form_, form_.ComboBox1, scale_(kListEntryHeight), menu);
  comboBox1->setObjectName("ComboBox1");
  comboBox1->setGeometry(scale_(56, 81, 201, 21));
  SetHint(comboBox1, "Welche Startart ist beim Bootmenü voreingestellt?");
  NameByLabels(comboBox1, {label5});
  QWidget* checkBox12 = AddCheckBox(menu, "CheckBox12", form_.CheckBox12,
                                    "Nach Windows-Ende DOS-Prompt?", scale_(8, 120, 193, 17),
                                    "Möchten Sie nach dem Ende von Windows am DOS-Prompt landen?");
  pageControls_.push_back({checkBox1, spinEdit1, spinEdit2, checkBox2, comboBox1, checkBox12});

  QWidget* start = AddPage("TabSheet2", "Start");
  std::vector<QWidget*> startControls = {
      AddCheckBox(start, "CheckBox3", form_.CheckBox3, "Soll Windows gestartet werden?",
                  scale_(16, 8, 250, 17), "Bei Aktivierung wird Windows automatisch gestartet"),
      AddCheckBox(start, "CheckBox4", form_.CheckBox4, "Ist ein Netzwerk installiert?",
                  scale_(16, 32, 250, 17),
                  "Diesen Wert sollten Sie nur ändern wenn Sie wissen was Sie tun"),
      AddCheckBox(start, "CheckBox5", form_.CheckBox5, "Im abgesicherten Modus starten?",
                  scale_(16, 56, 250, 17), "Ist hilfreich, wenn eine Installation Mist gebaut hat"),
      AddCheckBox(start, "CheckBox6", form_.CheckBox6, "Meldung 'Abgesicherter Modus' anzeigen?",
                  scale_(16, 80, 250, 17), "Erklärt sich von selbst"),
      AddCheckBox(start, "CheckBox7", form_.CheckBox7,
                  "Soll vorherige DOS-Version gestartet werden?", scale_(16, 104, 250, 17),
                  "Haben Sie eine vorherige Dos-Version?"),
  };
  auto* radioGroup1 = new RadioGroupView(form_, form_.RadioGroup1, "Standard Start-Betriebssystem",
                                         2, scale_(16, 128, 265, 33), scale_.TextHeight(), start);
  radioGroup1->setObjectName("RadioGroup1");
  SetHint(radioGroup1, "Welches BS soll automatisch starten?");
  startControls.push_back(radioGroup1);
  pageControls_.push_back(startControls);

  QWidget* buffering = AddPage("TabSheet3", "Pufferung");
  auto* radioGroup2 = new RadioGroupView(form_, form_.RadioGroup2,
                                         "Einstellungen für Systeme mit mehr als 16 MB RAM", 1,
                                         scale_(3, 16, 280, 137), scale_.TextHeight(), buffering);
  radioGroup2->setObjectName("RadioGroup2");
  SetHint(radioGroup2, "Diese Einstellung sollten Sie nicht ändern");
  pageControls_.push_back({radioGroup2});

  // Label6 and Label7 continue CheckBox10's caption, indented to its text.
  QWidget* drives = AddPage("TabSheet4", "Drive/DoubleSpace");
  const QString driverHint = "Wenn Sie Ihre Festplatte vergrößert haben brauchen Sie diese Treiber";
  QWidget* checkBox8 = AddCheckBox(drives, "CheckBox8", form_.CheckBox8, "DBLSpace.BIN laden",
                                   scale_(16, 24, 153, 17), driverHint);
  QWidget* checkBox9 = AddCheckBox(drives, "CheckBox9", form_.CheckBox9, "DRVSpace.BIN laden",
                                   scale_(16, 72, 137, 17), driverHint);
  CheckBoxView* checkBox10 = AddCheckBox(
      drives, "CheckBox10", form_.CheckBox10, "Command.Com und DBLSpace/DRVSpace.BIN",
      scale_(16, 104, 265, 17), "Manchmal brauchen andere Treiber diesen Speicherplatz");
  pageControls_.push_back({checkBox8, checkBox9, checkBox10});
  checkBox10->AddCaptionLine(AddLabel(drives, "Label6",
                                      "an das obere Ende des konventionellen Speichers",
                                      scale_(35, 120, 238, 13)));
  checkBox10->AddCaptionLine(AddLabel(drives, "Label7", "laden.", scale_(36, 136, 29, 13)));

  QWidget* logo = AddPage("TabSheet5", "Logo");
  pageControls_.push_back({AddCheckBox(
      logo, "CheckBox11", form_.CheckBox11, "Start-Logo anzeigen", scale_(16, 8, 177, 17),
      "Es kann zu Problemen kommen wenn das Logo angezeigt wird")});
  QLabel* label100 = AddLabel(logo, "label100", "1. Ende-Logo", scale_(8, 40, 64, 13));
  QLabel* label8 = AddLabel(logo, "Label8", "2. Ende-Logo", scale_(168, 38, 64, 13));
  const QString logoHint = "In einer späteren Version können Sie dieses LOGO bearbeiten";
  auto* image1 = new ImageBox(form_.Image1, logo);
  image1->setObjectName("Image1");
  image1->setGeometry(scale_(8, 56, 105, 105));
  SetHint(image1, logoHint);
  NameByLabels(image1, {label100});
  auto* image2 = new ImageBox(form_.Image2, logo);
  image2->setObjectName("Image2");
  image2->setGeometry(scale_(168, 56, 113, 105));
  SetHint(image2, logoHint);
  NameByLabels(image2, {label8});
}

QWidget* MainWindow::AddPage(const char* name, const QString& caption) {
  auto* page = new QWidget;
  page->setObjectName(name);
  page->setAccessibleName(caption);
  pageControl_->addTab(page, caption);
  return page;
}

QLabel* MainWindow::AddLabel(QWidget* page, const char* name, const QString& caption,
                             const QRect& geometry) {
  auto* label = new QLabel(caption, page);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(geometry);
  return label;
}

// A screen reader names a control by the labels that stand beside it, read in order, and finds
// them as its labels.
void MainWindow::NameByLabels(QWidget* control, std::initializer_list<QLabel*> labels) {
  QStringList name;
  for (QLabel* label : labels) {
    label->setBuddy(control);
    name << label->text();
  }
  control->setAccessibleName(name.join(' '));
}

CheckBoxView* MainWindow::AddCheckBox(QWidget* page, const char* name, TCheckBox& model,
                                      const QString& caption, const QRect& geometry,
                                      const QString& hint) {
  auto* box = new CheckBoxView(form_, model, caption, page);
  box->setObjectName(name);
  box->setGeometry(geometry);
  SetHint(box, hint);
  return box;
}

QWidget* MainWindow::AddSpinEdit(QWidget* page, const char* name, TSpinEdit& model,
                                 const QRect& geometry, const QString& hint) {
  auto* edit = new SpinEditView(form_, model, scale_(kSpinButtonsWidth), page);
  edit->setObjectName(name);
  edit->setGeometry(geometry);
  SetHint(edit, hint);
  return edit;
}

// The Tab key goes from the tab strip through every page's controls in their tab order to the
// three buttons; Qt skips the hidden pages and the radio buttons that are not their group's stop.
void MainWindow::ChainTabOrder() {
  std::vector<QWidget*> chain = {pageControl_->tabBar()};
  for (const std::vector<QWidget*>& controls : pageControls_) {
    for (QWidget* control : controls) {
      if (auto* group = dynamic_cast<RadioGroupView*>(control)) {
        chain.insert(chain.end(), group->Buttons().begin(), group->Buttons().end());
      } else {
        chain.push_back(control);
      }
    }
  }
  for (QWidget* button : {bitBtn1_, bitBtn2_, bitBtn3_}) chain.push_back(button);
  for (size_t i = 0; i + 1 < chain.size(); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
}

}  // namespace startgarten
