#include "sweep.h"

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "checker.h"
#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "simulator.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync::faultsweep {

namespace fs = std::filesystem;

namespace {

constexpr int kCostCentre = 2;  // the testbed's branch, "Branch One"
// The faulted run sees every voucher old enough to go; the recovery runs later still, so a push lock
// a crashed run left behind has gone stale (its age counts on the server clock). Neither may cross
// midnight, or the recovery works on the next working date and leaves the scenario's day as the fault
// left it: within an hour of midnight every clock, this process's included, is set an hour back.
long long dayKeepingOffset() {
  static const long long offset = [] {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const long long toMidnight = 86400 - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    return toMidnight < 3600 ? -3600LL : 0LL;
  }();
  return offset;
}
std::string runClock() {
  return "ERPSYNC_SERVER_CLOCK_OFFSET=" + std::to_string(dayKeepingOffset() + 600);
}
std::string recoveryClock() {
  return "ERPSYNC_SERVER_CLOCK_OFFSET=" + std::to_string(dayKeepingOffset() + 1200);
}

std::string quoted(const fs::path& p) {
  return "'" + p.string() + "'";
}

std::string withHome(const std::string& args, const fs::path& home) {
  return args + " --home " + quoted(home);
}

struct Connections {
  std::unique_ptr<db::Connection> branch, central;
  explicit Connections(const fs::path& home) {
    branch = db::openConnection(testbed::companyConnectionString("embedded:servers/branch", "BR01"), home);
    central = db::openConnection(testbed::companyConnectionString("embedded:servers/central", "HO01"), home);
  }
};

// "<counted> <fired>" from a tally file; {-1, 0} when the run wrote none.
std::pair<long long, long long> readTally(const fs::path& file) {
  std::ifstream in(file);
  long long n = -1, f = 0;
  if (!(in >> n >> f)) return {-1, 0};
  return {n, f};
}

std::string plan(Kind k, long long at, const fs::path& tally) {
  std::string p = "at=" + std::to_string(at) + ";tally=" + tally.string();
  switch (k) {
    case Kind::Error:
      return p + ";kind=error;error=1205";
    case Kind::Drop:
      return p + ";kind=drop";
    case Kind::LostReply:
      return p + ";kind=drop;when=after";
    case Kind::Crash:
      return p + ";kind=crash";
  }
  return p;
}

// What each point starts from: the prepared state's rows the checks compare against.
struct Before {
  faultcheck::Snapshot others, branchStock, whole, rateTables;
};

const std::vector<std::string> kRateTables{"tblBoardRateMaster", "tblItemMaster", "tblStock"};

Before readBefore(const Scenario& s, const fs::path& home) {
  Connections c(home);
  faultcheck::Checker k(*c.branch, *c.central, kCostCentre);
  Before b;
  b.others = k.othersAtCentral();
  if (s.dayStart) b.branchStock = k.branchStock();
  b.whole = k.tables(*c.branch, s.wholeTables);
  if (s.boardRates) b.rateTables = k.tables(*c.branch, kRateTables);
  return b;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

// Right after the faulted run: no unit is half done, nothing is doubled, no mark runs ahead.
std::vector<std::string> checkAfterFault(const Scenario& s, const Before& before, faultcheck::Checker& c) {
  std::vector<std::string> v;
  // The day end and the re-sync remove head office's copies on purpose before sending them again:
  // between the two a voucher may be marked at the branch and absent centrally until the next pass.
  if (s.name.rfind("day end", 0) != 0 && s.name != "manual re-sync") append(v, c.vouchers(false));
  append(v, c.transfers(false));
  if (s.dayStart && c.stockFigures(c.branch()) != c.stockFigures(c.central()))
    append(v, faultcheck::Checker::differences("day-start-whole", before.branchStock, c.branchStock()));
  if (s.boardRates && c.boardRatesAtBranch() != c.boardRatesAtCentral())
    append(v,
           faultcheck::Checker::differences("board-rates-whole", before.rateTables, c.tables(c.branch(), kRateTables)));
  for (const std::string& table : s.wholeTables) {
    if (c.mastersEqual({table}).empty()) continue;  // as head office has it
    append(v, faultcheck::Checker::differences("table-whole", faultcheck::Snapshot{{table, before.whole.at(table)}},
                                               c.tables(c.branch(), {table})));
  }
  append(v, faultcheck::Checker::differences("others-unchanged", before.others, c.othersAtCentral()));
  return v;
}

// After the recovery: everything arrived, once.
std::vector<std::string> checkAfterRecovery(const Scenario& s, const Before& before, faultcheck::Checker& c) {
  std::vector<std::string> v;
  append(v, c.vouchers(s.drained));
  append(v, c.transfers(s.transfers));
  append(v, c.mastersEqual(s.masters));
  if (s.boardRates)
    append(v, faultcheck::Checker::differences("board-rates-equal", c.boardRatesAtCentral(), c.boardRatesAtBranch()));
  if (s.dayStart)
    append(v, faultcheck::Checker::differences("day-start-equal", c.stockFigures(c.central()),
                                               c.stockFigures(c.branch())));
  append(v, faultcheck::Checker::differences("others-unchanged", before.others, c.othersAtCentral()));
  return v;
}

// A fresh testbed with both databases upgraded, brought to the scenario's starting state.
void prepareBase(const Scenario& s, const fs::path& home) {
  testbed::InitOptions o;
  o.home = home;
  o.items = 8;
  o.ledgers = 12;
  testbed::init(o);
  auto up = runCli(runClock(), withHome("update-database --yes", home));
  if (up.exitCode != 0) throw std::runtime_error("update-database failed: " + up.output);
  if (s.prepare) s.prepare(home);
}

void copyHome(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

// Branch vouchers of every family, with an edit and a deletion, as the ERP enters them.
void enterVouchers(const fs::path& home) {
  Connections c(home);
  testbed::SimulationOptions o;
  o.sales = 3;
  o.orders = o.stockJournals = o.jobCards = 1;
  o.notes = 2;
  o.edits = 1;
  o.deletes = 1;
  o.masterChanges = o.boardRates = 0;
  testbed::simulateErpActivity(c.branch.get(), nullptr, o);
}

void changeCentral(const fs::path& home, int masterChanges, int boardRates) {
  Connections c(home);
  testbed::SimulationOptions o;
  o.sales = o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
  o.masterChanges = masterChanges;
  o.boardRates = boardRates;
  testbed::simulateErpActivity(nullptr, c.central.get(), o);
}

const char* const kPasses = "run --passes 8 --wait-ms 0 --until-quiet --yes";

void runPasses(const fs::path& home) {
  runCli(runClock(), withHome(kPasses, home));
}

}  // namespace

CliResult runCli(const std::string& env, const std::string& args) {
  CliResult r;
  const std::string cmd = env + " '" + test::cliPath() + "' " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) r.output.append(buf.data(), n);
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

const char* kindName(Kind k) {
  switch (k) {
    case Kind::Error:
      return "error";
    case Kind::Drop:
      return "drop";
    case Kind::LostReply:
      return "lost reply";
    case Kind::Crash:
      return "crash";
  }
  return "";
}

Report sweep(const Scenario& s, const fs::path& work, int budget) {
  // The vouchers this process enters are dated by the same clock as the runs that send them.
  struct ClockShift {
    long long was = db::embedded::clockOffsetSeconds();
    ClockShift() { db::embedded::setClockOffsetSeconds(dayKeepingOffset()); }
    ~ClockShift() { db::embedded::setClockOffsetSeconds(was); }
  } shift;
  Report rep;
  rep.scenario = s.name;
  const fs::path base = work / "base";
  fs::remove_all(work);
  fs::create_directories(work);
  prepareBase(s, base);
  const Before before = readBefore(s, base);
  const fs::path tally = work / "tally.txt";

  // The clean run: how many calls load and connect make, how many the whole operation makes, and
  // whether the checker is content with a run that meets no fault.
  {
    const fs::path home = work / "clean";
    copyHome(base, home);
    runCli(runClock() + " ERPSYNC_FAULT='tally=" + tally.string() + "'", withHome("connect --yes", home));
    rep.connectCalls = readTally(tally).first;
    copyHome(base, home);
    runCli(runClock() + " ERPSYNC_FAULT='tally=" + tally.string() + "'", withHome(s.operation, home));
    rep.calls = readTally(tally).first;
    for (const auto& line : s.recovery) runCli(recoveryClock(), withHome(line, home));
    Connections c(home);
    faultcheck::Checker k(*c.branch, *c.central, kCostCentre);
    for (const auto& v : checkAfterRecovery(s, before, k)) rep.details.push_back("point 0 (no fault): " + v);
    rep.violations += static_cast<int>(rep.details.size());
  }
  if (rep.calls <= rep.connectCalls) {
    rep.details.push_back("the operation made no calls of its own");
    ++rep.violations;
    return rep;
  }

  // The points: the operation's own calls times the kinds, all of them when the budget allows, else
  // `budget` of them spread evenly (the kinds taking turns).
  const long long first = rep.connectCalls + 1, span = rep.calls - rep.connectCalls;
  const long long kinds = static_cast<long long>(allKinds().size());
  const long long grid = span * kinds;
  const long long count = std::min<long long>(grid, budget);
  for (long long j = 0; j < count; ++j) {
    {
      const long long index = j * grid / count;
      const long long at = first + index / kinds;
      const Kind kind = allKinds()[static_cast<std::size_t>(index % kinds)];
      const long long pointNo = j + 1;
      const fs::path home = work / ("p" + std::to_string(pointNo));
      copyHome(base, home);
      fs::remove(tally);
      auto run = runCli(runClock() + " ERPSYNC_FAULT='" + plan(kind, at, tally) + "'",
                        withHome(s.operation, home));
      const bool fired =
          kind == Kind::Crash ? run.exitCode == db::embedded::faults::kCrashExitCode : readTally(tally).second > 0;
      if (!fired) {
        ++rep.notReached;
        rep.details.push_back("point " + std::to_string(at) + " (" + kindName(kind) + ") not reached, exit code " +
                              std::to_string(run.exitCode) + ": " + run.output.substr(0, 1000));
        fs::remove_all(home);
        continue;
      }
      ++rep.points;
      ++rep.perKind[kindName(kind)];
      const std::string where = "point " + std::to_string(at) + " (" + kindName(kind) + "): ";
      std::vector<std::string> found;
      {
        Connections c(home);
        faultcheck::Checker k(*c.branch, *c.central, kCostCentre);
        for (const auto& v : checkAfterFault(s, before, k)) found.push_back(where + "right after: " + v);
      }
      for (const auto& line : s.recovery) runCli(recoveryClock(), withHome(line, home));
      {
        Connections c(home);
        faultcheck::Checker k(*c.branch, *c.central, kCostCentre);
        for (const auto& v : checkAfterRecovery(s, before, k)) found.push_back(where + "after recovery: " + v);
      }
      if (found.empty()) {
        fs::remove_all(home);
      } else {
        ++rep.violations;
        found.push_back(where + "operation output: " + run.output.substr(0, 2000));
        append(rep.details, found);
      }
    }
  }
  return rep;
}

std::vector<Scenario> scenarios() {
  const std::vector<std::string> masterTables{"tblItemMaster", "tblLedger", "tblArea"};
  const std::vector<std::string> migrated{"tblLedger", "tblArea", "tblItemMaster", "tblpricelist"};
  std::vector<Scenario> out;
  out.push_back({"voucher upload", enterVouchers, "upload --yes", {"upload --yes", kPasses}, {}, {}, false, true});
  out.push_back({"master download",
                 [](const fs::path& h) { changeCentral(h, 4, 0); },
                 "download-masters --yes",
                 {"download-masters --yes", kPasses},
                 masterTables,
                 {},
                 false,
                 true});
  out.push_back({"day start", nullptr, "day-start --yes", {"day-start --yes"}, {}, {}, true, true});
  out.push_back({"transfer import",
                 nullptr,
                 "import-transfers --all --yes",
                 {"import-transfers --all --yes"},
                 {},
                 {},
                 false,
                 true});
  out.push_back({"board-rate reload",
                 [](const fs::path& h) { changeCentral(h, 0, 3); },
                 "import-board-rates --yes",
                 {"import-board-rates --yes"},
                 {},
                 {},
                 false,
                 true,
                 false,
                 true});
  out.push_back({"full migration, row by row",
                 [](const fs::path& h) { changeCentral(h, 4, 0); },
                 "migrate --tables tblLedger,tblArea,tblItemMaster,tblpricelist --yes",
                 {"migrate --tables tblLedger,tblArea,tblItemMaster,tblpricelist --yes"},
                 migrated,
                 migrated,
                 false,
                 true});
  out.push_back({"full migration, bulk",
                 [](const fs::path& h) { changeCentral(h, 4, 0); },
                 "migrate --bulk --tables tblLedger,tblArea,tblItemMaster,tblpricelist --yes",
                 {"migrate --bulk --tables tblLedger,tblArea,tblItemMaster,tblpricelist --yes"},
                 migrated,
                 migrated,
                 false,
                 true});
  out.push_back({"day end with forced re-sync",
                 [](const fs::path& h) {
                   enterVouchers(h);
                   runPasses(h);
                   // Head office lost one of the branch's sales: the day end finds it and sends it again.
                   Connections c(h);
                   auto id = c.central->query("SELECT max(InvID) FROM tblSales WHERE CCID = 2").at(0, 0).toString();
                   c.central->execute("DELETE FROM tblSalesItem WHERE InvID = " + id);
                   c.central->execute("DELETE FROM tblSales WHERE InvID = " + id);
                 },
                 "day-end --yes",
                 {kPasses, "day-end --yes", kPasses},
                 {},
                 {},
                 false,
                 true});
  out.push_back({"manual re-sync",
                 [](const fs::path& h) {
                   enterVouchers(h);
                   runPasses(h);
                 },
                 "resync --yes",
                 {"resync --yes", kPasses},
                 {},
                 {},
                 false,
                 true});
  return out;
}

std::string markdownHeader() {
  return "| Scenario | Calls (connect + operation) | Points injected | error | drop | lost reply | crash | "
         "Not reached | Violations |\n|---|---|---|---|---|---|---|---|---|\n";
}

std::string markdownRow(const Report& r) {
  auto k = [&](const char* n) {
    auto it = r.perKind.find(n);
    return it == r.perKind.end() ? 0 : it->second;
  };
  std::ostringstream o;
  o << "| " << r.scenario << " | " << r.connectCalls << " + " << (r.calls - r.connectCalls) << " | " << r.points
    << " | " << k("error") << " | " << k("drop") << " | " << k("lost reply") << " | " << k("crash") << " | "
    << r.notReached << " | " << r.violations << " |\n";
  return o.str();
}

const std::vector<Kind>& allKinds() {
  static const std::vector<Kind> k{Kind::Error, Kind::Drop, Kind::LostReply, Kind::Crash};
  return k;
}

}  // namespace erpsync::faultsweep
