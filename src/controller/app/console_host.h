// The Host of the headless runner: message boxes and notices are printed, questions are answered by
// policy (No unless told to answer Yes), and every error shown is counted for the exit code.
#pragma once

#include <atomic>
#include <functional>
#include <iosfwd>
#include <string>

#include "form/host.h"

namespace erpsync {

class ConsoleHost : public Host {
 public:
  ConsoleHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // Answer Yes to Yes/No and Yes/No/Cancel questions (default: No).
  bool answerYes = false;
  // Where notices are also written (the daily log); set by the runner once the context exists.
  std::function<void(const std::string& text)> logNotice;

  Answer messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title,
                    Answer defaultAnswer) override;
  void showBalloon(const std::string& title, const std::string& text) override;
  bool startNotifier(const std::filesystem::path& program, const std::string& text) override;
  void quit() override { quitRequested_ = true; }
  void openSettingsWizard() override;
  bool isConnectedToInternet() override;
  bool stopRequested() override { return stopFlag && stopFlag->load(); }

  // Set by the runner's signal handlers when the program is asked to stop; nullptr: never.
  const std::atomic<bool>* stopFlag = nullptr;

  bool quitRequested() const { return quitRequested_; }
  // Error message boxes (critical or exclamation) and notices shown so far.
  int errorsShown() const { return errors_; }
  int noticesShown() const { return notices_; }

 private:
  void printNotice(const std::string& text);
  std::ostream& out_;
  std::ostream& err_;
  bool quitRequested_ = false;
  int errors_ = 0;
  int notices_ = 0;
};

}  // namespace erpsync
