// erpsync-cli testbed init and demo: build the ERP's side (embedded servers with sample data).
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace erpsync::testbed {
struct InitOptions;
}

namespace erpsync::cli {

// testbed init --home DIR [--items N] [--ledgers N]; demo --home DIR.
void addTestbedCommands(CLI::App& app, int& exitCode);

// Builds the testbed and prints, for both company databases, "<db>.<table>\t<count>" per table.
// Returns the exit code (0 ok, 1 error, described on err).
int runDemo(const testbed::InitOptions& options, std::ostream& out, std::ostream& err);

}  // namespace erpsync::cli
