// erpsync-cli sql, testbed init and demo, run as the program itself: output, stderr and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cmd_sql.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;

struct Result {
  int code = -1;
  std::string out, err;
};

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

Result runCli(const fs::path& work, const std::vector<std::string>& args) {
  std::string cmd = shellQuote(test::cliPath());
  for (const auto& a : args) cmd += " " + shellQuote(a);
  auto out = work / "cli.out", err = work / "cli.err";
  cmd += " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
  int status = std::system(cmd.c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = test::readFile(out);
  r.err = test::readFile(err);
  return r;
}

TEST(IsQueryBatch, TellsQueriesFromStatements) {
  EXPECT_TRUE(cli::isQueryBatch("SELECT 1"));
  EXPECT_TRUE(cli::isQueryBatch("  -- comment\n select * from t"));
  EXPECT_TRUE(cli::isQueryBatch("WITH x AS (SELECT 1 AS a) SELECT a FROM x"));
  EXPECT_TRUE(cli::isQueryBatch("DECLARE @n int SET @n = 1 SELECT @n"));
  EXPECT_FALSE(cli::isQueryBatch("INSERT INTO t SELECT * FROM s"));
  EXPECT_FALSE(cli::isQueryBatch("IF EXISTS (SELECT 1 FROM t) EXEC sp_x"));
  EXPECT_FALSE(cli::isQueryBatch("update t set a = (select 1)"));
  EXPECT_FALSE(cli::isQueryBatch("create trigger x on t for insert as select @a = 1 from inserted"));
  EXPECT_FALSE(cli::isQueryBatch("DELETE FROM t WHERE note = 'SELECT'"));
  EXPECT_FALSE(cli::isQueryBatch(""));
}

class CliOnTestbed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new test::TempDir;
    testbed::InitOptions o;
    o.home = home_->path();
    o.items = 6;
    o.ledgers = 10;
    testbed::init(o);
  }
  static void TearDownTestSuite() {
    delete home_;
    home_ = nullptr;
  }
  Result sql(const std::vector<std::string>& more) {
    std::vector<std::string> args = {"sql",  "--server", "embedded:servers/branch", "--database",
                                     "BR01", "--home",   home_->path().string()};
    args.insert(args.end(), more.begin(), more.end());
    return runCli(work_.path(), args);
  }
  static test::TempDir* home_;
  test::TempDir work_;
};
test::TempDir* CliOnTestbed::home_ = nullptr;

TEST_F(CliOnTestbed, PrintsQueryResultsTabSeparatedWithNullAndCountsForStatements) {
  auto r = sql({"-e", "SELECT CCID, CCName, Phone FROM tblCostCentre WHERE CCID <= 2 ORDER BY CCID", "-e",
                "UPDATE tblCostCentre SET Phone = '0484 1' WHERE CCID IN (1, 3)", "-e",
                "SELECT Phone FROM tblCostCentre WHERE CCID = 3"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "CCID\tCCName\tPhone\n1\tHead Office\tNULL\n2\tBranch One\tNULL\n(2 rows affected)\nPhone\n0484 1\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CliOnTestbed, StopsAtTheFirstErrorWithItsDescriptionAndExitCodeOne) {
  auto r = sql({"-e", "UPDATE tblArea SET AreaCode = 'X' WHERE AreaID = 1", "-e", "SELECT * FROM tblNoSuchTable", "-e",
                "UPDATE tblArea SET AreaCode = 'Y' WHERE AreaID = 1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "(1 rows affected)\n");
  EXPECT_NE(r.err.find("Invalid object name"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("tblNoSuchTable"), std::string::npos) << r.err;
  auto check = sql({"-e", "SELECT AreaCode FROM tblArea WHERE AreaID = 1"});
  EXPECT_EQ(check.out, "AreaCode\nX\n");
}

TEST_F(CliOnTestbed, RunsAFileBatchByBatchSplitAtGoLines) {
  auto script = work_.path() / "script.sql";
  test::writeFile(script,
                  "-- a comment-only batch\nGO\nINSERT INTO tblArea (AreaID, AreaName) VALUES (50, 'GO West')\ngo\n"
                  "INSERT INTO tblArea (AreaID, AreaName)\n  VALUES (51, 'Gorge')\n  GO  \n"
                  "SELECT AreaName FROM tblArea WHERE AreaID >= 50 ORDER BY AreaID\n");
  auto r = sql({"--file", script.string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "(1 rows affected)\n(1 rows affected)\nAreaName\nGO West\nGorge\n");
}

TEST_F(CliOnTestbed, ResolvesRelativeServersAgainstHome) {
  auto r =
      runCli(work_.path(), {"sql", "--server", "embedded:servers/central", "--database", "QMRStartup", "--home",
                            home_->path().string(), "-e", "SELECT CompanyCode FROM tblcompany WHERE CompanyID = 1"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "CompanyCode\nHO01\n");
  auto missing = runCli(work_.path(), {"sql", "--server", "embedded:servers/central", "--database", "NOSUCHDB",
                                       "--home", home_->path().string(), "-e", "SELECT 1"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_FALSE(missing.err.empty());
}

TEST(CliUsage, BadUsageExitsWithTwo) {
  test::TempDir work;
  EXPECT_EQ(runCli(work.path(), {"sql", "--server", "embedded:x", "--database", "BR01"}).code, 2);
  EXPECT_EQ(runCli(work.path(), {"sql", "--database", "BR01", "-e", "SELECT 1"}).code, 2);
  EXPECT_EQ(
      runCli(work.path(), {"sql", "--server", "embedded:x", "--database", "BR01", "-e", "SELECT 1", "--file", "f"})
          .code,
      2);
  EXPECT_EQ(runCli(work.path(), {"testbed", "init"}).code, 2);
  EXPECT_EQ(runCli(work.path(), {"testbed", "init", "--home", work.path().string(), "--items", "x"}).code, 2);
  EXPECT_EQ(runCli(work.path(), {"no-such-verb"}).code, 2);
}

TEST(CliTestbed, InitAndDemo) {
  test::TempDir work;
  auto home = work.path() / "home";
  auto r = runCli(work.path(), {"testbed", "init", "--home", home.string(), "--items", "7", "--ledgers", "11"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::readFile(home / "Resources" / "ServerName.ini"), "embedded:servers/branch");
  auto q = runCli(work.path(), {"sql", "--server", "embedded:servers/branch", "--database", "BR01", "--home",
                                home.string(), "-e", "SELECT COUNT(*) AS Nos FROM tblItemMaster"});
  EXPECT_EQ(q.out, "Nos\n7\n");

  auto d = runCli(work.path(), {"demo", "--home", home.string()});
  ASSERT_EQ(d.code, 0) << d.err;
  EXPECT_NE(d.out.find("BR01.tblItemMaster\t50\n"), std::string::npos) << d.out;
  EXPECT_NE(d.out.find("HO01.tblStock\t100\n"), std::string::npos) << d.out;
  EXPECT_NE(d.out.find("BR01.tblStock\t0\n"), std::string::npos) << d.out;
  // One line per table of each company database, plus the summary line.
  auto lines = std::count(d.out.begin(), d.out.end(), '\n');
  EXPECT_EQ(lines, static_cast<long>(2 * testbed::tableNames().size() + 1));
}

}  // namespace
}  // namespace erpsync
