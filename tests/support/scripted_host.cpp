#include "scripted_host.h"

#include <gtest/gtest.h>

namespace erpsync::test {

ScriptedHost::~ScriptedHost() {
  if (strict_ && !script_.empty()) {
    ADD_FAILURE() << script_.size() << " scripted message box(es) never shown; the first expected text: \""
                  << script_.front().textContains << "\"";
  }
}

ScriptedHost& ScriptedHost::expectBox(Answer answer, std::string textContains) {
  script_.push_back({answer, std::move(textContains)});
  return *this;
}

std::vector<std::string> ScriptedHost::boxTexts() const {
  std::vector<std::string> texts;
  for (const auto& b : boxes) texts.push_back(b.text);
  return texts;
}

Answer ScriptedHost::messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title,
                                Answer defaultAnswer) {
  boxes.push_back({text, buttons, icon, title, defaultAnswer});
  if (script_.empty()) {
    if (strict_) ADD_FAILURE() << "unexpected message box: \"" << text << "\"";
    return buttons == Buttons::OK ? Answer::OK : defaultAnswer;
  }
  Scripted s = script_.front();
  script_.pop_front();
  if (!s.textContains.empty() && text.find(s.textContains) == std::string::npos)
    ADD_FAILURE() << "message box \"" << text << "\" shown where one containing \"" << s.textContains
                  << "\" was expected";
  return s.answer;
}

void ScriptedHost::doEvents() {
  ++doEventsCount;
  if (onDoEvents) onDoEvents();
}

void ScriptedHost::setBusy(bool on) {
  busy = on;
  busyChanges.push_back(on);
}

void ScriptedHost::showBalloon(const std::string& title, const std::string& text) {
  balloons.push_back({title, text});
}

bool ScriptedHost::startNotifier(const std::filesystem::path& program, const std::string& text) {
  notifierStarts.push_back({program, text});
  return notifierStartResult;
}

}  // namespace erpsync::test
