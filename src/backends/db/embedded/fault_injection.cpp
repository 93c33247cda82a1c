// Fault injection for the embedded server: the plan, the per-process count of calls and the errors a
// chosen call gets (see fault_injection.h for the plan's syntax).
#include "db/embedded/fault_injection.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include "db/db_error.h"
#include "util/text.h"

namespace erpsync::db::embedded::faults {

namespace detail {
std::atomic<bool> active{false};
}

namespace {

struct State {
  std::mutex m;
  Plan plan;
  long long counted = 0;
  long long fired = 0;
  bool tallyRegistered = false;
};

State& state() {
  static State* s = new State;  // never destroyed: connections may still be counted during exit
  return *s;
}

void writeTally() {
  State& s = state();
  std::lock_guard lock(s.m);
  if (s.plan.tally.empty()) return;
  std::ofstream out(s.plan.tally, std::ios::trunc);
  out << s.counted << " " << s.fired << "\n";
}

bool contains(std::string_view haystack, std::string_view needle) {
  return needle.empty() || text::lower(haystack).find(text::lower(needle)) != std::string::npos;
}

std::string defaultText(long error) {
  switch (error) {
    case 1205:
      return "Transaction (Process ID 57) was deadlocked on lock resources with another process and has been "
             "chosen as the deadlock victim. Rerun the transaction.";
    case 1222:
      return "Lock request time out period exceeded.";
    case 9002:
      return "The transaction log for database is full.";
    case 2627:
      return "Violation of PRIMARY KEY constraint. Cannot insert duplicate key in object.";
    default:
      return "Injected failure (error " + std::to_string(error) + ").";
  }
}

bool parseNumber(std::string_view v, long long& out) {
  if (v.empty()) return false;
  char* end = nullptr;
  std::string s(v);
  long long n = std::strtoll(s.c_str(), &end, 10);
  if (*end != '\0' || n < 0) return false;
  out = n;
  return true;
}

}  // namespace

std::optional<Plan> parse(std::string_view textIn, std::string* why) {
  Plan p;
  auto fail = [&](const std::string& msg) -> std::optional<Plan> {
    if (why) *why = msg;
    return std::nullopt;
  };
  std::size_t pos = 0;
  while (pos <= textIn.size()) {
    std::size_t end = textIn.find(';', pos);
    if (end == std::string_view::npos) end = textIn.size();
    std::string item = text::trim(textIn.substr(pos, end - pos), text::kWhitespace);
    pos = end + 1;
    if (item.empty()) continue;
    std::size_t eq = item.find('=');
    if (eq == std::string::npos) return fail("expected key=value: " + item);
    std::string key = text::lower(text::trim(item.substr(0, eq)));
    std::string value = item.substr(eq + 1);
    std::string v = text::lower(text::trim(value));
    long long n = 0;
    if (key == "at") {
      if (!parseNumber(v, n)) return fail("at wants a count: " + value);
      p.at = n;
    } else if (key == "kind") {
      if (v == "error")
        p.kind = Kind::Error;
      else if (v == "drop")
        p.kind = Kind::Drop;
      else if (v == "crash")
        p.kind = Kind::Crash;
      else
        return fail("kind is error, drop or crash: " + value);
    } else if (key == "error") {
      if (!parseNumber(v, n) || n == 0 || n > 2147483647) return fail("error wants an error number: " + value);
      p.error = static_cast<long>(n);
    } else if (key == "text") {
      p.text = value;
    } else if (key == "on") {
      if (v == "all")
        p.on = Calls::All;
      else if (v == "statement")
        p.on = Calls::Statement;
      else if (v == "commit")
        p.on = Calls::Commit;
      else
        return fail("on is all, statement or commit: " + value);
    } else if (key == "match") {
      p.match = value;
    } else if (key == "server") {
      p.server = value;
    } else if (key == "when") {
      if (v == "before")
        p.after = false;
      else if (v == "after")
        p.after = true;
      else
        return fail("when is before or after: " + value);
    } else if (key == "tally") {
      p.tally = text::trim(value);
    } else {
      return fail("unknown key: " + key);
    }
    if (end == textIn.size()) break;
  }
  return p;
}

void configure(const Plan& plan) {
  State& s = state();
  {
    std::lock_guard lock(s.m);
    s.plan = plan;
    s.counted = 0;
    s.fired = 0;
    if (!plan.tally.empty() && !s.tallyRegistered) {
      s.tallyRegistered = true;
      std::atexit(writeTally);
    }
  }
  detail::active.store(true);
}

void reset() {
  State& s = state();
  std::lock_guard lock(s.m);
  detail::active.store(false);
  s.plan = Plan{};
  s.counted = 0;
  s.fired = 0;
}

void loadFromEnvironment() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* env = std::getenv("ERPSYNC_FAULT");
    if (!env || !*env) return;
    std::string why;
    auto plan = parse(env, &why);
    if (!plan) {
      std::fprintf(stderr, "ERPSYNC_FAULT ignored: %s\n", why.c_str());
      return;
    }
    configure(*plan);
  });
}

long long counted() {
  State& s = state();
  std::lock_guard lock(s.m);
  return s.counted;
}

long long fired() {
  State& s = state();
  std::lock_guard lock(s.m);
  return s.fired;
}

Hit onCall(Call call, std::string_view statement, std::string_view server) {
  State& s = state();
  std::lock_guard lock(s.m);
  const Plan& p = s.plan;
  if (p.on == Calls::Statement && call != Call::Statement) return {};
  if (p.on == Calls::Commit && call != Call::Commit) return {};
  if (!p.match.empty() && (call != Call::Statement || !contains(statement, p.match))) return {};
  if (!contains(server, p.server)) return {};
  ++s.counted;
  if (p.at == 0 || s.counted != p.at) return {};
  ++s.fired;
  Hit h;
  h.kind = p.kind;
  h.after = p.after;
  h.error = p.error;
  h.text = p.text.empty() ? defaultText(p.error) : p.text;
  return h;
}

void crash() {
  // Nothing of this process survives a crash: no destructors, no buffered output, no tally.
  std::_Exit(kCrashExitCode);
}

void throwError(const Hit& hit) {
  throw DbError(hit.text, hit.error == 1205 ? "40001" : "42000", hit.error);
}

void throwLinkLost() {
  throw DbError(
      "Connection failure: [DBNETLIB][ConnectionWrite (send()).]General network error. Check your network "
      "documentation.",
      "08S01", 11);
}

}  // namespace erpsync::db::embedded::faults
