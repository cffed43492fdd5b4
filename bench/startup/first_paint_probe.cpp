// Loaded into a Qt program with LD_PRELOAD by the start-up benchmark; does nothing unless
// STARTGARTEN_FIRST_PAINT_FD names a file descriptor. Once the program's main window has been
// painted for the first time, it writes the moment (CLOCK_MONOTONIC, nanoseconds) and the number
// of widgets of each Qt class to that descriptor and ends the process, so that the benchmark sees
// how long the program took to show its window, and with how many widgets.
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

namespace {

int ReportDescriptor() {
  const char* fd = std::getenv("STARTGARTEN_FIRST_PAINT_FD");
  return fd && *fd ? std::atoi(fd) : -1;
}

// The Qt class a widget is made of: its own class, or the first Qt class it derives from.
std::string QtClassOf(const QWidget* widget) {
  const QMetaObject* meta = widget->metaObject();
  while (meta->superClass() && meta->className()[0] != 'Q') meta = meta->superClass();
  return meta->className();
}

void Report(const std::string& text) {
  const std::string line = text + "\n";
  if (::write(ReportDescriptor(), line.data(), line.size()) < 0) std::_Exit(2);
}

// After the paint event of the window itself come those of its widgets and the flush to the
// screen, all in one pass of the event loop; a timer of 0 ms runs once that pass is over.
void ReportWhenPainted() {
  QTimer::singleShot(0, [] {
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::map<std::string, int> widgets;
    for (const QWidget* widget : QApplication::allWidgets()) ++widgets[QtClassOf(widget)];
    std::string text = std::to_string(now.tv_sec * 1'000'000'000LL + now.tv_nsec);
    for (const auto& [qtClass, count] : widgets)
      text += " " + qtClass + ":" + std::to_string(count);
    Report(text);
    std::_Exit(0);
  });
}

class FirstPaintFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (!widget->isWindow()) return false;
    // Anything else painted first, a message box above all, means start-up went wrong.
    if (!qobject_cast<const QMainWindow*>(widget)) {
      Report("error: " + QtClassOf(widget) + " \"" + widget->windowTitle().toStdString() +
             "\" was painted before the main window");
      std::_Exit(1);
    }
    qApp->removeEventFilter(this);
    ReportWhenPainted();
    return false;
  }
};

void InstallFilter() {
  if (ReportDescriptor() >= 0) qApp->installEventFilter(new FirstPaintFilter);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFilter)
