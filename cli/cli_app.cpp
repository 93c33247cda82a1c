// erpsync-cli: the headless runner.
#include "cli_app.h"

#include <CLI/CLI.hpp>

#include "cmd_app.h"
#include "cmd_capture.h"
#include "cmd_concurrency.h"
#include "cmd_daycycle.h"
#include "cmd_reconcile.h"
#include "cmd_serve.h"
#include "cmd_sql.h"
#include "cmd_status.h"
#include "cmd_stock.h"
#include "cmd_stock_import.h"
#include "cmd_sync.h"
#include "cmd_testbed.h"

namespace erpsync::cli {

void addAllCommands(CLI::App& app, int& exitCode) {
  // Each verb group registers its subcommands.
  addAppCommands(app, exitCode);
  addSqlCommand(app, exitCode);
  addTestbedCommands(app, exitCode);
  addCaptureCommands(app, exitCode);
  addConcurrencyCommand(app, exitCode);
  addSyncCommands(app, exitCode);
  addStockCommands(app, exitCode);
  addStockImportCommands(app, exitCode);
  addDaycycleCommands(app, exitCode);
  addReconcileCommands(app, exitCode);
  addStatusCommand(app, exitCode);
  addServeCommand(app, exitCode);
}

int run(int argc, char** argv) {
  CLI::App app{"erpsync-cli: branch synchroniser, headless"};
  app.require_subcommand(1);
  int exitCode = 0;
  addAllCommands(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  return exitCode;
}

}  // namespace erpsync::cli
