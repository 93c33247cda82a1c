// erpsync-cli verbs of the imports from head office: import-board-rates, batch-status, migrate,
// settings-sync, import-transfers.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

void addStockImportCommands(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
