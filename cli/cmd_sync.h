// erpsync-cli verbs of the sync engine: download-masters, upload, counts.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

void addSyncCommands(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
