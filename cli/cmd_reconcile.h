// erpsync-cli verbs of reconciliation: mismatches, verify, marks.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

// The exit code of verify when a voucher differs (everything was read, nothing failed).
inline constexpr int kExitDiffers = 3;

void addReconcileCommands(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli
