// Fault injection for the embedded server: makes one chosen call on an embedded connection fail as
// SQL Server or the network would make it fail, so every point of an operation can be tried against a
// failure (tests, the fault sweep, a person at the console).
//
// Driven by the environment variable ERPSYNC_FAULT (read when the first embedded connection is made)
// or by configure(). The plan is a list of key=value pairs separated by ';':
//
//   at=N        the Nth counted call is the one that fails (1-based; 0 or absent: none, count only)
//   kind=K      error  (default) the call throws a server error
//               drop   the link is lost: the session ends (its open transaction is rolled back) and
//                      this and every later call on that connection fails with "Connection failure"
//                      (SQLSTATE 08S01) until it is closed and opened again
//               crash  the process ends on the spot (std::_Exit(kCrashExitCode)), nothing flushed
//   error=NNNN  the native error number of kind=error (default 1205, the deadlock victim)
//   text=...    its message (default: SQL Server's wording for the number)
//   on=C        which calls count: all (default: open, execute, query, beginTrans, commitTrans,
//               rollbackTrans: every round trip to the server), statement (execute and query), commit
//               (commitTrans only). A fault on an open fails the open (drop: the server cannot be
//               reached); a fault on a rollback loses the link (the server rolls the work back).
//   match=S     only statements whose text contains S (case-insensitive) count; commits never match
//   server=S    only calls on connections whose server folder or catalog contains S count
//   when=W      before (default): the call fails without running; after: it runs (and commits, for a
//               commit) and then fails, as a reply lost on the way back does
//   tally=FILE  at exit, "<counted> <fired>" is written to FILE: the number of counted calls (a clean
//               run finds N) and of faults fired (0 or 1; a crash writes nothing)
//
// Counting is per process across every embedded connection. Example:
//   ERPSYNC_FAULT="at=17;kind=drop;server=central;when=after"
// When no plan is set the hooks cost one load of a flag per call.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace erpsync::db::embedded::faults {

// The exit code of kind=crash.
constexpr int kCrashExitCode = 77;

enum class Kind { None, Error, Drop, Crash };
enum class Calls { All, Statement, Commit };
// What a connection is about to do.
enum class Call { Statement, Begin, Commit, Rollback, Open };

struct Plan {
  long long at = 0;
  Kind kind = Kind::Error;
  long error = 1205;
  std::string text;  // empty: the server's wording for `error`
  Calls on = Calls::All;
  std::string match;
  std::string server;
  bool after = false;
  std::string tally;
};

// The fault chosen for one call (kind None: the call runs normally).
struct Hit {
  Kind kind = Kind::None;
  bool after = false;
  long error = 0;
  std::string text;
};

// Reads a plan; nullopt (and `why`) when the text has an unknown key or value.
std::optional<Plan> parse(std::string_view text, std::string* why = nullptr);
// Installs a plan and starts counting from zero; reset() removes it.
void configure(const Plan& plan);
void reset();
// Reads ERPSYNC_FAULT once per process; a malformed plan is reported on stderr and ignored.
void loadFromEnvironment();

// Calls counted and faults fired since the plan was installed.
long long counted();
long long fired();

namespace detail {
extern std::atomic<bool> active;
}
inline bool active() {
  return detail::active.load(std::memory_order_relaxed);
}

// Counts a call (when it passes the plan's filters) and says which fault, if any, it gets.
// `text` is the statement text, `server` the connection's server folder and catalog.
Hit onCall(Call call, std::string_view text, std::string_view server);

// Ends the process as kind=crash does.
[[noreturn]] void crash();
// The error kind=error throws, and the one a lost link gives every call.
[[noreturn]] void throwError(const Hit& hit);
[[noreturn]] void throwLinkLost();

}  // namespace erpsync::db::embedded::faults
