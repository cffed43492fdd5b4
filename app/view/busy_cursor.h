#pragma once

#include <QGuiApplication>

namespace startgarten {

// The busy cursor over all of the program's windows while it waits for the disk or for the
// programs of mtools (about fifty milliseconds a write on a disk image, more on a slow disk).
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// The normal cursor while a box waits for the user, also when a busy command shows it.
class NormalCursor {
 public:
  NormalCursor() {
    if (busy_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~NormalCursor() {
    if (busy_) QGuiApplication::restoreOverrideCursor();
  }
  NormalCursor(const NormalCursor&) = delete;
  NormalCursor& operator=(const NormalCursor&) = delete;

 private:
  const bool busy_ = QGuiApplication::overrideCursor() != nullptr;
};

}  // namespace startgarten
