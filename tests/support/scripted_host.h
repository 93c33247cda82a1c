// A Host for tests: records every message box, balloon and notifier start, answers message boxes from
// a script, and fails the test on a box nobody expected (when strict).
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "form/host.h"

namespace erpsync::test {

struct RecordedBox {
  std::string text;
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  std::string title;
  Answer defaultAnswer = Answer::OK;
};

struct RecordedBalloon {
  std::string title;
  std::string text;
};

struct RecordedNotifierStart {
  std::filesystem::path program;
  std::string text;
};

class ScriptedHost : public Host {
 public:
  // strict: a message box with no scripted answer left fails the test (ADD_FAILURE), and answers left
  // over when the host goes away fail it too. Not strict: unscripted boxes get their default answer.
  explicit ScriptedHost(bool strict = true) : strict_(strict) {}
  ~ScriptedHost() override;

  // Scripts the answer to the next message box. With textContains, that box's text must contain it.
  ScriptedHost& expectBox(Answer answer = Answer::OK, std::string textContains = {});
  // Boxes still scripted but not yet shown.
  std::size_t pendingAnswers() const { return script_.size(); }
  void setStrict(bool strict) { strict_ = strict; }

  // Everything the code under test did.
  std::vector<RecordedBox> boxes;
  std::vector<RecordedBalloon> balloons;
  std::vector<RecordedNotifierStart> notifierStarts;
  int doEventsCount = 0;
  int quitCount = 0;
  int settingsWizardOpened = 0;
  bool busy = false;
  std::vector<bool> busyChanges;

  // Behaviour of the world around.
  bool connected = true;            // isConnectedToInternet()
  bool notifierStartResult = true;  // what startNotifier() reports
  bool stopAsked = false;           // stopRequested(): the program has been asked to stop
  // Runs inside every doEvents(), e.g. to press a button while an operation yields.
  std::function<void()> onDoEvents;

  // The texts of all boxes shown so far, in order.
  std::vector<std::string> boxTexts() const;

  Answer messageBox(const std::string& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None,
                    const std::string& title = {}, Answer defaultAnswer = Answer::OK) override;
  void doEvents() override;
  void setBusy(bool on) override;
  bool isConnectedToInternet() override { return connected; }
  void showBalloon(const std::string& title, const std::string& text) override;
  bool startNotifier(const std::filesystem::path& program, const std::string& text) override;
  void quit() override { ++quitCount; }
  void openSettingsWizard() override { ++settingsWizardOpened; }
  bool stopRequested() override { return stopAsked; }

 private:
  struct Scripted {
    Answer answer;
    std::string textContains;
  };
  bool strict_;
  std::deque<Scripted> script_;
};

}  // namespace erpsync::test
