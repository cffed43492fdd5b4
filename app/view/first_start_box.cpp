#include "app/view/first_start_box.h"

#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/drive_c_notice.h"
#include "app/program_messages.h"
#include "app/recent_drive_choices.h"
#include "app/view/busy_cursor.h"
#include "app/view/qt_text.h"
#include "app/view/title_bar.h"
#include "platform/drives/drive_locations.h"
#include "platform/windows/error.h"

namespace startgarten {

namespace {

// A paragraph of the notice whose every line is indented by this is a block of commands.
const QString kCommandIndent = "    ";
// Text paragraphs wrap at about this many characters.
constexpr int kTextWidthInCharacters = 72;

bool IsCommandBlock(const QString& paragraph) {
  const QStringList lines = paragraph.split('\n');
  return std::ranges::all_of(lines,
                             [](const QString& line) { return line.startsWith(kCommandIndent); });
}

// A paragraph of the notice: text that wraps, or commands in a fixed-width font, kept as they
// are. Both can be selected with the mouse, so that a command can be copied.
QLabel* ParagraphLabel(const QString& paragraph) {
  auto* label = new QLabel;
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (IsCommandBlock(paragraph)) {
    QStringList lines = paragraph.split('\n');
    for (QString& line : lines) line.remove(0, kCommandIndent.size());
    label->setText(lines.join('\n'));
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setIndent(label->fontMetrics().horizontalAdvance(kCommandIndent));
  } else {
    label->setText(paragraph);
    label->setWordWrap(true);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * kTextWidthInCharacters);
  }
  return label;
}

// The box: the notice, the drives chosen lately and the ways to choose drive C. Its result is the
// host path chosen; none when the user quits.
class DriveCBox : public QDialog {
 public:
  DriveCBox(const std::string& notice, const std::vector<RecentDriveChoice>& recent) {
    setWindowTitle(FromCp1252(messages::kDriveCBoxTitle));
    auto* icon = new QLabel;
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()
                        ->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this)
                        .pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QVBoxLayout;
    for (const QString& paragraph : FromCp1252(notice).split("\n\n")) {
      text->addWidget(ParagraphLabel(paragraph));
    }
    QPushButton* openLatest = nullptr;
    if (!recent.empty()) text->addWidget(new QLabel(FromCp1252(messages::kDriveCRecent)));
    for (const RecentDriveChoice& drive : recent) {
      QPushButton* button = AddRecentDrive(*text, drive);
      if (!openLatest && !drive.gone) openLatest = button;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* chooseFolder = AddButton(*buttons, messages::kDriveCChooseFolder, [this] {
      return QFileDialog::getExistingDirectory(this,
                                               FromCp1252(messages::kDriveCChooseFolderTitle));
    });
    AddButton(*buttons, messages::kDriveCChooseImage, [this] {
      const QString filters = FromCp1252(FormatMessageText(messages::kDriveCImageFilter,
                                                           platform::kDiskImagePatterns)) +
                              ";;" + FromCp1252(messages::kDriveCAllFiles);
      return QFileDialog::getOpenFileName(this, FromCp1252(messages::kDriveCChooseImageTitle),
                                          QString(), filters);
    });
    auto* quit = new QPushButton(FromCp1252(messages::kDriveCQuit));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(quit);
    (openLatest ? openLatest : chooseFolder)->setDefault(true);

    auto* content = new QHBoxLayout;
    content->addWidget(icon, 0, Qt::AlignTop);
    content->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addSpacing(layout->spacing());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    KeepTitleWhole(*this);
  }

  const std::optional<std::string>& Chosen() const { return chosen_; }

 private:
  template <typename Ask>
  QPushButton* AddButton(QHBoxLayout& buttons, const char* caption, Ask ask) {
    auto* button = new QPushButton(FromCp1252(caption));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, ask] {
      // A cancelled dialog leaves the box as it was.
      if (const QString path = ask(); !path.isEmpty())
        Choose(QFile::encodeName(path).toStdString());
    });
    buttons.addWidget(button);
    return button;
  }

  // A drive chosen lately: one click chooses it again; one that is gone is shown, disabled. Its
  // path is shown as it is: an "&" in it, doubled, makes no keyboard shortcut.
  QPushButton* AddRecentDrive(QVBoxLayout& text, const RecentDriveChoice& drive) {
    const QString path =
        QFile::decodeName(QByteArray::fromStdString(drive.path)).replace("&", "&&");
    QString caption = path;
    if (drive.gone) caption = FromCp1252(messages::kDriveCRecentGone).replace("%s", path);
    auto* button = new QPushButton(caption);
    button->setAutoDefault(false);
    button->setStyleSheet("text-align: left; padding: 3px 8px");
    button->setEnabled(!drive.gone);
    connect(button, &QPushButton::clicked, this, [this, chosen = drive.path] { Choose(chosen); });
    text.addWidget(button);
    return button;
  }

  void Choose(std::string path) {
    chosen_ = std::move(path);
    accept();
  }

  std::optional<std::string> chosen_;
};

}  // namespace

bool FindDriveC() {
  for (;;) {
    std::optional<std::string> notice;
    {
      // Looking at a disk image starts mtools.
      const BusyCursor busy;
      notice = DriveCNotice();
    }
    if (!notice) break;
    DriveCBox box(*notice, RecentDriveChoices());
    box.exec();
    if (!box.Chosen()) return false;
    platform::ChooseDriveC(*box.Chosen());
  }
  RememberChosenDriveC();
  return true;
}

}  // namespace startgarten
