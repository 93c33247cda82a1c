// erpsync-cli verbs that close and repair the branch's day: day-end, resync, purge.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

void addDaycycleCommands(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
