// erpsync-cli: the headless runner. Every button of the window is a verb.
#pragma once

namespace erpsync::cli {

// Parses the command line and runs the verb. Exit codes: 0 success, 1 an operation reported an error,
// 2 bad usage or missing settings.
int run(int argc, char** argv);

}  // namespace erpsync::cli
