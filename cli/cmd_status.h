// status: the branch at a glance, read without running a pass (for operators, support scripts and
// monitoring).
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace erpsync::cli {

struct StatusOptions {
  std::string home;
  std::string date;  // YYYY-MM-DD: the working date whose uploads count as today's (default: today)
  bool json = false;
};

// Reads the status through the settings of options.home.

// Reads the status and prints it (one fact a line, or one JSON object). Exit codes: 0 the branch was read
// and head office answered, 1 either could not be reached, 2 missing settings.
int runStatus(const StatusOptions& options, std::ostream& out, std::ostream& err);

void addStatusCommand(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
