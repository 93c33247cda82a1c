// Starting a helper program (the notifier) without waiting for it and without a shell in between.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace erpsync::notify {

// Starts program with args (each passed as exactly one argument; nothing is interpreted by a shell)
// and returns at once. The child is not tracked; no zombie is left behind. False when it could not
// be started (missing file, not executable).
bool spawnDetached(const std::filesystem::path& program, const std::vector<std::string>& args);

// One argument quoted for a Windows command line so the program's runtime reads it back unchanged
// (backslashes before a quote are doubled, quotes escaped, the whole wrapped in quotes when needed).
std::string quoteWindowsArgument(const std::string& arg);

}  // namespace erpsync::notify
