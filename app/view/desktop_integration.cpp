#include "app/view/desktop_integration.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace startgarten {

void IntegrateWithDesktop() {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  // Without the translations installed Qt's texts stay English; the program still runs.
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
  QGuiApplication::setDesktopFileName(STARTGARTEN_APP_ID);
}

}  // namespace startgarten
