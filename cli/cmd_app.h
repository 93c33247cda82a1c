// The window's verbs for the headless runner: load and connect as the window does (the same engine
// calls, with no window model), then run the operation a button runs, against a ConsoleHost, and print
// what it returns. Every button becomes a verb with one addButtonVerb line.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace erpsync {
struct SyncContext;
namespace session {
class Session;
}
}  // namespace erpsync

namespace erpsync::cli {

// The program folder: home when given, else the environment's ERPSYNC_HOME, else the executable's folder.
std::filesystem::path resolveProgramFolder(const std::string& home);

// The options every verb takes.
struct VerbOptions {
  std::string home;  // --home: the program folder
  bool yes = false;  // --yes: answer Yes to questions
  std::string date;  // --date YYYY-MM-DD: the working date (dtpdate) after connect; empty keeps connect's
};

// Adds --home, --yes and --date to a verb's subcommand, stored in options. Every verb gets them here and only
// here, so no verb lacks one.
void addCommonOptions(CLI::App& verb, VerbOptions& options);

// Exit codes of a verb.
inline constexpr int kExitOk = 0;
inline constexpr int kExitOperationError = 1;  // the operation failed, was refused, or left work undone
inline constexpr int kExitUsage = 2;           // bad usage or missing settings

// What a verb works on once connected: the run (its context, working day bound to what connect found
// or --date) and the exit code its outcome leads to.
struct Verb {
  session::Session& session;
  SyncContext& ctx;
  int exitCode = kExitOk;
  // The operation failed or did not do what was asked: the runner exits with kExitOperationError.
  void failed() { exitCode = kExitOperationError; }
  void failedIf(bool failure) {
    if (failure) failed();
  }
};

// What a verb does after connect; out is the verb's standard output.
using VerbHandler = std::function<void(Verb&, std::ostream& out)>;

// Loads, connects, then runs handler (when given) as the operation verb, through the one-operation-at-
// a-time door. The exit code comes from the outcomes: 2 when load ended the program or the settings lack
// the central server name, 1 when the company databases could not be opened, the connect stopped
// part-way (the handler is then not run), the door refused the verb or the handler's outcome failed,
// else 0.
int runVerb(const std::string& verb, const VerbOptions& options, const VerbHandler& handler, std::ostream& out,
            std::ostream& err);

// Adds the subcommand name with the common options whose action is runVerb(handler); the exit code
// is stored in exitCode.
CLI::App* addButtonVerb(CLI::App& app, int& exitCode, const std::string& name, const std::string& description,
                        VerbHandler handler);

// connect, run.
void addAppCommands(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
