// A branch's day through the production backend: the program talks ODBC (FreeTDS) to both servers
// behind wire protocol endpoints, as a branch talks to its SQL Servers. The same day runs on the
// embedded backend in another program folder, and every company table of both servers ends equal,
// column by column: Unicode and apostrophes in names, 18-digit decimals, NULL dates, bits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "db/embedded/embedded_server.h"
#include "process_runner.h"
#include "tds_test_support.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync::test {
namespace {

namespace fs = std::filesystem;

std::string embeddedString(const fs::path& dir, const std::string& catalog) {
  return "Provider=SQLOLEDB.1;Initial Catalog=" + catalog + ";Data Source=embedded:" + dir.string();
}

// Masters head office changes during the day, with what is hard to carry: an apostrophe and
// accented letters in a name, 18-digit amounts, a date and an address made NULL, a bit set.
void editMastersAtHeadOffice(const fs::path& home) {
  auto c = db::openConnection(embeddedString(home / "servers" / "central", "HO01"), home);
  c->execute(
      "UPDATE tblLedger SET LName = 'Zoë O''Brien — Café', Address = NULL, CreatedDate = NULL, "
      "OpeningBalance = 9999999999999999.99, CreditLimit = -1234567890123456.78 WHERE LID = 5");
  c->execute(
      "UPDATE tblItemMaster SET ItemName = 'Crème brûlée ''Spécial''', Description = NULL, BlnExpiryItem = 1 "
      "WHERE ItemID = 2");
}

// One table's rows as text, sorted; date-times by their date alone (the two days run minutes apart).
std::vector<std::string> rowsOf(db::Connection& c, const std::string& table) {
  const db::Recordset rs = c.query("SELECT * FROM [" + table + "]");
  std::vector<std::string> rows;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    std::string line;
    for (std::size_t f = 0; f < rs.fields.size(); ++f) {
      const db::Value& v = rs.at(r, f);
      std::string text = v.isNull() ? "<NULL>" : v.toString();
      if (v.isDateTime()) text = text.substr(0, 10);
      line += rs.fields[f].name + "=" + text + "|";
    }
    rows.push_back(line);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

struct DayRun {
  std::map<std::string, int> exitCodes;
  std::string output;
};

// The demo's day: update database, connect, day start, ERP activity, passes until quiet with the
// server clock ten minutes on, counts, verify, day end.
DayRun runDay(const fs::path& home, const std::function<void(long long)>& shiftServerClock) {
  DayRun day;
  const std::string h = " --home '" + home.string() + "'";
  auto step = [&](const std::string& name, const std::string& args, const std::string& env = {}) {
    const ProcessResult r = runCommand(env + " '" + cliPath() + "' " + args + h + " 2>&1");
    day.exitCodes[name] = r.exitCode;
    day.output += "== " + name + "\n" + r.output;
  };
  step("update-database", "update-database --yes");
  editMastersAtHeadOffice(home);
  step("connect", "connect");
  step("day-start", "day-start --yes");
  step("simulate", "testbed simulate");
  shiftServerClock(600);
  step("run", "run --passes 10 --wait-ms 0 --until-quiet", "ERPSYNC_SERVER_CLOCK_OFFSET=600");
  shiftServerClock(0);
  step("counts", "counts");
  step("verify", "verify");
  step("day-end", "day-end --yes");
  return day;
}

TEST(WireDay, ADayThroughFreeTdsEndsAsTheSameDayOnTheEmbeddedBackend) {
  TempDir embeddedHome, wireHome;
  for (const auto* home : {&embeddedHome, &wireHome}) {
    testbed::InitOptions o;
    o.home = home->path();
    testbed::init(o);
  }
  const DayRun reference = runDay(embeddedHome.path(), [](long long) {});

  // Both servers of the second folder behind endpoints; the settings name them as SQL Servers. A
  // linked server named by its network name finds its folder as the data source's name.
  const fs::path servers = wireHome.path() / "servers";
  WireServer branch(servers / "branch", wireHome.path());
  WireServer central(servers / "central", wireHome.path());
  fs::create_directory_symlink("central", servers / central.dataSource());
  writeFile(wireHome.path() / "Resources" / "ServerName.ini", branch.dataSource());
  std::string app = readFile(wireHome.path() / "Resources" / "Appsettings.ini");
  const std::string key = "SYNCSERVER=embedded:servers/central";
  ASSERT_NE(app.find(key), std::string::npos) << app;
  app.replace(app.find(key), key.size(), "SYNCSERVER=" + central.dataSource());
  writeFile(wireHome.path() / "Resources" / "Appsettings.ini", app);

  // The endpoints' sessions run in this process: their server clock moves here.
  const DayRun wire = runDay(wireHome.path(), [](long long s) { db::embedded::setClockOffsetSeconds(s); });
  EXPECT_NE(wire.output.find("Local server: " + branch.dataSource()), std::string::npos) << wire.output;

  for (const auto& [step, code] : reference.exitCodes) {
    EXPECT_EQ(code, 0) << "embedded: " << step << "\n" << reference.output;
    EXPECT_EQ(wire.exitCodes.at(step), code) << "wire: " << step << "\n" << wire.output;
  }
  EXPECT_NE(wire.output.find("differing: 0"), std::string::npos) << wire.output;
  EXPECT_NE(wire.output.find("Day closed"), std::string::npos) << wire.output;

  std::vector<std::string> tables = testbed::tableNames();
  tables.push_back("tblActivity");
  for (const auto& [server, catalog] : {std::pair<std::string, std::string>{"branch", "BR01"}, {"central", "HO01"}}) {
    auto a = db::openConnection(embeddedString(embeddedHome.path() / "servers" / server, catalog), embeddedHome.path());
    auto b = db::openConnection(embeddedString(servers / server, catalog), wireHome.path());
    for (const auto& t : tables) {
      const auto ra = rowsOf(*a, t), rb = rowsOf(*b, t);
      EXPECT_EQ(ra.size(), rb.size()) << catalog << "." << t;
      for (std::size_t i = 0; i < std::min(ra.size(), rb.size()); ++i) {
        EXPECT_EQ(rb[i], ra[i]) << catalog << "." << t;
        if (rb[i] != ra[i]) break;
      }
    }
  }
  // The hard values reached the branch through the wire as they left head office.
  auto br = db::openConnection(embeddedString(servers / "branch", "BR01"), wireHome.path());
  const db::Recordset ledger = br->query("SELECT LName, OpeningBalance, CreatedDate FROM tblLedger WHERE LID = 5");
  ASSERT_EQ(ledger.size(), 1u);
  EXPECT_EQ(ledger.at(0, "LName").toString(), "Zoë O'Brien — Café");
  EXPECT_EQ(ledger.at(0, "OpeningBalance").toString(), "9999999999999999.99");
  EXPECT_TRUE(ledger.at(0, "CreatedDate").isNull());
}

}  // namespace
}  // namespace erpsync::test
