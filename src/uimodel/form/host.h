// What the operations need from the world around them: message boxes, the message loop, the busy
// pointer, the connectivity test, the tray balloon, the notifier program, quitting, the wizard.
// The window implements it with real dialogs, the headless runner with the console, tests with a script.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync {

enum class Buttons { OK, YesNo, YesNoCancel };
enum class Icon { None, Critical, Exclamation, Question, Information };
enum class Answer { OK, Yes, No, Cancel };

class Host {
 public:
  virtual ~Host() = default;

  // A modal message box; returns the button pressed. defaultAnswer is the button that has the focus.
  virtual Answer messageBox(const std::string& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None,
                            const std::string& title = {}, Answer defaultAnswer = Answer::OK) = 0;
  // Lets the window process pending events (repaint, clicks) in the middle of long work.
  virtual void doEvents() {}
  // Hourglass pointer on or off.
  virtual void setBusy(bool) {}
  // Whether the computer has a network connection to the outside (the auto-sync pass checks it).
  virtual bool isConnectedToInternet() { return true; }
  // A balloon on the tray icon (or the nearest visible equivalent).
  virtual void showBalloon(const std::string& title, const std::string& text) = 0;
  // Starts the external notifier program with the text as its one argument, without waiting.
  // Returns false when it could not be started.
  virtual bool startNotifier(const std::filesystem::path& program, const std::string& text) = 0;
  // Ends the program (after the current handler returns).
  virtual void quit() = 0;
  // Shows the settings wizard window.
  virtual void openSettingsWizard() {}
  // Whether the program has been asked to stop (the service stopped, Ctrl-C). Long operations check it
  // between units: the unit in hand is finished or rolled back, marks are saved, the push lock freed.
  virtual bool stopRequested() { return false; }
};

}  // namespace erpsync
