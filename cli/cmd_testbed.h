// erpsync-cli testbed init and demo: build the ERP's side (embedded servers with sample data).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace erpsync::testbed {
struct InitOptions;
}

namespace erpsync::cli {

// testbed init --home DIR [--items N] [--ledgers N]; testbed erp --home DIR ...; demo --home DIR.
void addTestbedCommands(CLI::App& app, int& exitCode);

struct ErpOptions {
  std::filesystem::path home;  // the branch's program folder
  int vouchers = 10;
  int edits = 0;
  int deletes = 0;
  int costCentre = 2;
  unsigned seed = 1;
};

// testbed erp: enters the vouchers at the branch the settings name, then edits and deletes as many,
// taking turns between vouchers the branch marked uploaded and vouchers still waiting (locked ones are
// left alone, as the ERP leaves them). Prints what it did; returns the exit code.
int runErp(const ErpOptions& options, std::ostream& out, std::ostream& err);

// Builds the testbed and prints, for both company databases, "<db>.<table>\t<count>" per table.
// Returns the exit code (0 ok, 1 error, described on err).
int runDemo(const testbed::InitOptions& options, std::ostream& out, std::ostream& err);

}  // namespace erpsync::cli
