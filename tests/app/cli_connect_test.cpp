// The headless runner's connect and run verbs, as an operator or a script calls them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "db/embedded/embedded_server.h"
#include "form/clock.h"
#include "settings/daily_log.h"
#include "settings/settings_files.h"
#include "shared/date_text.h"
#include "process_runner.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

using test::TempDir;

using CliRun = test::ProcessResult;
using test::runCli;

struct Cli : ::testing::Test {
  TempDir home;
  void SetUp() override {
    test::copyTestbed(home.path(), {5, 10});
  }
  // The schema upgrade, so the day rows table the connect shows exists.
  void upgrade() { ASSERT_EQ(runCli("update-database " + homeArg()).exitCode, 0); }
  std::string homeArg() const { return "--home '" + home.path().string() + "'"; }
  void appendSetting(const std::string& line) {
    auto p = settings::appSettingsPath(home.path());
    test::writeFile(p, test::readFile(p) + "\r\n" + line);
  }
};

TEST_F(Cli, ConnectPrintsWhatTheWindowShows) {
  appendSetting("SYNCHVCHTYPEIDS=201;");
  const std::string serverDay = ddMMMyyyy(db::embedded::serverNow());
  // Before the schema upgrade the synchroniser's tables are missing: one message says what to do,
  // instead of each day-row display failing on its own.
  CliRun r = runCli("connect " + homeArg());
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("[exclamation] The databases are not yet prepared for synchronisation"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("erpsync-cli update-database"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("Invalid object name"), std::string::npos) << r.output;
  ASSERT_EQ(runCli("update-database --yes " + homeArg()).exitCode, 0);
  r = runCli("connect " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Local server: embedded:servers/branch\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("DesktopCompany: BR01\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("OnlineCompany: HO01\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Cost centre: Branch One (2)\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Working date: " + serverDay + "\n"), std::string::npos) << r.output;
  // The testbed ticks every voucher type of the branch's cost centre, as its operator would.
  EXPECT_NE(r.output.find("Voucher types: Job Card BR1 (206), Payment BR1 (203), Receipt BR1 (202), Sales BR1 (201), "
                          "Sales Order BR1 (205), Sales Return BR1 (207), Stock Journal BR1 (204)\n"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("Status: Connection .Done.... \n"), std::string::npos) << r.output;
}

TEST_F(Cli, ProgramFolderFromTheEnvironment) {
  upgrade();
  CliRun r = runCli("connect");
  EXPECT_EQ(r.exitCode, 2) << r.output;  // the executable's folder holds no settings
  r = runCli("");
  EXPECT_EQ(r.exitCode, 2);
  const std::string env = "ERPSYNC_HOME='" + home.path().string() + "' ";
  FILE* p = popen((env + "'" + test::cliPath() + "' connect >/dev/null 2>&1").c_str(), "r");
  ASSERT_NE(p, nullptr);
  const int status = pclose(p);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Cli, MissingServerNameIsMissingSettings) {
  std::filesystem::remove(settings::serverNamePath(home.path()));
  CliRun r = runCli("connect " + homeArg());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("[critical] Please check  Server Name to continue ( servername.ini). "), std::string::npos)
      << r.output;
}

TEST_F(Cli, UnreachableCentralDatabaseIsAnError) {
  auto p = settings::appSettingsPath(home.path());
  std::string text = test::readFile(p);
  text.replace(text.find("WEBDBCODE=HO01"), 14, "WEBDBCODE=NOSUCHDB");
  test::writeFile(p, text);
  CliRun r = runCli("connect " + homeArg());
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("Not connected"), std::string::npos) << r.output;
  // Why, in the server's own words.
  const std::string why = "Cannot open database \"NOSUCHDB\" requested by the login. The login failed.";
  const auto first = r.output.find(why);
  EXPECT_NE(first, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("NOSUCHDB on "), std::string::npos) << r.output;
}

TEST_F(Cli, ConnectStoppedPartWayRunsNoOperation) {
  upgrade();
  // A file where this month's log folder belongs stops the connect at its log-folder step.
  SystemClock clock;
  const auto blocked = settings::LogFolderFor(home.path(), "BR01", clock.now());
  std::filesystem::remove_all(blocked);  // the upgrade's connect made it
  test::writeFile(blocked, "not a folder");
  CliRun r = runCli("run " + homeArg() + " --passes 1 --wait-ms 0");
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("Connect\n"), std::string::npos) << r.output;
  // Neither the connection summary nor a pass: the verb's handler never ran.
  EXPECT_EQ(r.output.find("Local server:"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("Pass 1:"), std::string::npos) << r.output;
}

TEST_F(Cli, RunReportsEachPassAndStopsWhenQuiet) {
  upgrade();
  CliRun r = runCli("run " + homeArg() + " --passes 2 --wait-ms 0");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Pass 1: masters applied 0, vouchers uploaded 0"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Pass 2:"), std::string::npos) << r.output;
  r = runCli("run " + homeArg() + " --passes 5 --wait-ms 0 --until-quiet");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output.find("Pass 2:"), std::string::npos) << r.output;
  r = runCli("run " + homeArg() + " --passes 0");
  EXPECT_EQ(r.exitCode, 2) << r.output;
}

}  // namespace
}  // namespace erpsync
