// erpsync-cli verbs of the day's stock and ledger: day-start.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

void addStockCommands(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
