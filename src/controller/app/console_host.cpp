// The Host of the headless runner: message boxes and notices are printed, questions are answered by policy
// (No unless told to answer Yes), and every error shown is counted for the exit code.
#include "app/console_host.h"

#include <ostream>

#include "notify/spawn_detached.h"
#include "shared/network_state.h"

namespace erpsync {

namespace {

const char* iconName(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return "critical";
    case Icon::Exclamation:
      return "exclamation";
    case Icon::Question:
      return "question";
    case Icon::Information:
      return "information";
    case Icon::None:
      break;
  }
  return "message";
}

const char* answerName(Answer a) {
  switch (a) {
    case Answer::Yes:
      return "Yes";
    case Answer::No:
      return "No";
    case Answer::Cancel:
      return "Cancel";
    case Answer::OK:
      break;
  }
  return "OK";
}

// Message texts carry CR LF line breaks; the console wants plain ones.
std::string plainLines(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

}  // namespace

Answer ConsoleHost::messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title,
                               Answer /*defaultAnswer*/) {
  const bool error = icon == Icon::Critical || icon == Icon::Exclamation;
  if (error) ++errors_;
  std::ostream& os = error ? err_ : out_;
  os << "[" << iconName(icon) << "] " << (title.empty() ? std::string() : title + ": ") << plainLines(text);
  Answer a = Answer::OK;
  if (buttons != Buttons::OK) {
    a = answerYes ? Answer::Yes : Answer::No;
    os << " -> " << answerName(a);
  }
  os << std::endl;
  return a;
}

void ConsoleHost::printNotice(const std::string& text) {
  ++notices_;
  err_ << "[notice] " << plainLines(text) << std::endl;
  if (logNotice) logNotice(text);
}

void ConsoleHost::showBalloon(const std::string& /*title*/, const std::string& text) {
  printNotice(text);
}

bool ConsoleHost::startNotifier(const std::filesystem::path& program, const std::string& text) {
  printNotice(text);
  // The console has shown the notice already; a notifier that cannot start needs no balloon as well.
  notify::spawnDetached(program, {text});
  return true;
}

void ConsoleHost::openSettingsWizard() {
  out_ << "[message] The settings wizard needs the window; edit Resources/Appsettings.ini instead." << std::endl;
}

bool ConsoleHost::isConnectedToInternet() {
  return IsWebConnected();
}

}  // namespace erpsync
