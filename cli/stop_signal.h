// Stopping the headless runner cleanly: SIGTERM and Ctrl-C (on Windows the console's Ctrl-C, Ctrl-Break,
// close and shutdown events) only raise a flag; the operations look at it between units, so the unit in
// hand is finished or rolled back and the push lock is released before the program ends.
#pragma once

#include <atomic>
#include <string>

namespace erpsync::cli {

// Installs the handlers (once) and returns the flag they raise. A second signal of the same kind ends
// the program at once, as it would without the handlers.
const std::atomic<bool>& installStopHandlers();

// The flag alone, without installing anything (false until a handler raised it).
const std::atomic<bool>& stopFlag();

// What asked for the stop, for the log ("SIGTERM", "Ctrl-C" ...); empty when nothing did.
std::string stopReason();

}  // namespace erpsync::cli
