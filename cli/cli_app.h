// erpsync-cli: the headless runner. Every button of the window is a verb.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

// Registers every verb and tool of erpsync-cli on app; a verb's action stores its exit code in exitCode.
void addAllCommands(CLI::App& app, int& exitCode);

// Parses the command line and runs the verb. Exit codes: 0 success, 1 an operation reported an error,
// 2 bad usage or missing settings.
int run(int argc, char** argv);

}  // namespace erpsync::cli
