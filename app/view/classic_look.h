#pragma once

#include <QApplication>
#include <QString>

namespace startgarten {

// The look of Windows 95: Qt's "Windows" style in the Windows 95 system colours, the window font
// for the screen's density, and tooltips that open after the mouse has rested 500 ms on a control
// (50 ms right after another tooltip).
void ApplyClassicLook(QApplication& app);

// Gives a control its hint: a tooltip that closes after 2500 ms.
void SetHint(QWidget* control, const QString& hint);

}  // namespace startgarten
