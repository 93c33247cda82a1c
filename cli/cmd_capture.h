// erpsync-cli verbs of change capture and the push lock: update-database, free-server, lock-status,
// testbed simulate, and lock-contend (a contention probe for tests).
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace erpsync::cli {

// Registers the verbs. Call after addTestbedCommands: simulate joins its testbed subcommand.
void addCaptureCommands(CLI::App& app, int& exitCode);

struct VerbOptions;

// Loads and connects as the window does, then runs "Update Database". Returns 0 when the upgrade ran
// (notices of statements that had nothing to do are printed, not counted as failure), 2 when the
// settings are missing, 1 when the company databases could not be opened.
int runUpdateDatabase(const VerbOptions& options, std::ostream& out, std::ostream& err);

}  // namespace erpsync::cli
