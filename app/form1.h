#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/form_controls.h"
#include "logos/picture.h"
#include "platform/windows/message_box.h"

namespace startgarten {

// The main window's model: its controls and the handlers of its commands. The Qt window shows
// it and turns the user's input into calls of these; it holds no option state of its own.
class TForm1 : public FormControls {
 public:
  TForm1(MessageBoxService& boxes, std::string applicationTitle);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  const std::string& ApplicationTitle() const { return applicationTitle_; }

  TImage Image1;  // logow.sys, under "1. Ende-Logo"
  TImage Image2;  // logos.sys, under "2. Ende-Logo"

  // The creation handler: an interrupted write command is completed and what it left removed,
  // the logo preview is loaded, then the boot file is read. An error in the first two is shown
  // and the reading still runs, so that the window never shows values the file does not hold.
  void FormCreate();
  // "OK", "Start-Datei schreiben": asks, writes on OK, and in every case reads the file back.
  void StartDateischreiben1Click();
  // "Start-Datei lesen".
  void Auslesen();
  void Schreiben();
  // "Standardwerte", "Standardwerte setzen".
  void BitBtn2Click();
  // "Abbrechen", "Beenden": closes the window, which ends the program; nothing is saved.
  void BitBtn3Click();

  // Runs the handler of a user event or creation step. An error that ends it, wherever it was
  // raised in the chain of handlers, is shown by the error display and the program goes on.
  void HandleEvent(const std::function<void()>& handler);
  // The error display: the message and ".", the application title, the stop icon.
  void ShowError(const std::string& message);

  // Set by the window: closes it.
  std::function<void()> OnClose;

 private:
  // Runs a step of the creation; an error it raises is shown and ends only that step. An error of
  // the step before shown again is not: both steps reach the Windows directory, so a drive that
  // cannot be used there fails them with one message.
  void ShowErrorOf(const std::function<void()>& step, std::string& shownBefore);

  MessageBoxService& boxes_;
  std::string applicationTitle_;
};

// The application title for a program file path: the file name without its directory, cut
// before its first ".", every letter after the first in lower case ("START.V2.EXE" gives
// "Start").
std::string ApplicationTitleFromPath(std::string_view programPath);

}  // namespace startgarten
