// The headless runner as a service: stopped with SIGTERM in the middle of a big upload it finishes the
// voucher in hand, frees the push lock, logs why it ended and exits cleanly; every voucher is then at
// head office exactly once or still queued at the branch, and the next run sends the rest.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "db/connection.h"
#include "shared/connections.h"
#include "simulator.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"

extern char** environ;

namespace erpsync {
namespace {

using namespace std::chrono_literals;

struct ServiceStop : ::testing::Test {
  test::TempDir home;
  std::unique_ptr<db::Connection> branch, central;
  int sales = 0;

  void SetUp() override {
    test::copyTestbed(home.path(), {8, 12, true});
    branch = db::openConnection(companyConnectionString("BR01", "embedded:servers/branch"), home.path());
    central = db::openConnection(companyConnectionString("HO01", "embedded:servers/central"), home.path());
  }
  void enterSales(int n) {
    testbed::SimulationOptions s;
    s.sales = n;
    s.orders = s.stockJournals = s.jobCards = s.notes = s.edits = s.deletes = 0;
    s.masterChanges = s.boardRates = 0;
    testbed::simulateErpActivity(branch.get(), nullptr, s);
    sales += n;
  }
  long long scalar(db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); }
  std::string outputPath() const { return (home.path() / "runner.out").string(); }

  // Starts erpsync-cli with the args (and --home), its output into runner.out; the servers' clock ten
  // minutes on so every voucher is old enough at once.
  pid_t start(std::vector<std::string> args) {
    args.insert(args.begin(), test::cliPath());
    args.push_back("--home");
    args.push_back(home.path().string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore{"ERPSYNC_SERVER_CLOCK_OFFSET=600"};
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("ERPSYNC_SERVER_CLOCK_OFFSET=", 0) != 0) envStore.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, STDOUT_FILENO, outputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    return rc == 0 ? pid : -1;
  }
  // Waits for the process; its exit code, or -1 when a signal ended it.
  static int wait(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int runToEnd(std::vector<std::string> args, int& rc) {
    rc = wait(start(std::move(args)));
    return rc;
  }

  // Every branch sale is at head office exactly once or still queued (unmarked) at the branch; a
  // marked one is central under the number its mark names. Returns how many are central.
  long long expectNothingLostOrDoubled() {
    EXPECT_EQ(scalar(*central,
                     "SELECT count(*) FROM (SELECT InvNo FROM tblSales WHERE CCID = 2 GROUP BY InvNo, "
                     "InvDate, VchTypeID HAVING count(*) > 1) d"),
              0);
    EXPECT_EQ(scalar(*branch, "SELECT count(*) FROM tblSales"), sales);
    auto marked = branch->query("SELECT ServInvID FROM tblSales WHERE SyncStat = 1");
    for (std::size_t r = 0; r < marked.size(); ++r)
      EXPECT_EQ(scalar(*central, "SELECT count(*) FROM tblSales WHERE InvID = " + marked.at(r, 0).toString()), 1);
    // Lines travel with their voucher: a marked one has all of them at head office.
    for (std::size_t r = 0; r < marked.size(); ++r) {
      const std::string centralNo = marked.at(r, 0).toString();
      EXPECT_EQ(scalar(*central, "SELECT count(*) FROM tblSalesItem WHERE InvID = " + centralNo),
                scalar(*branch,
                       "SELECT count(*) FROM tblSalesItem i JOIN tblSales s ON s.InvID = i.InvID WHERE "
                       "s.ServInvID = " +
                           centralNo))
          << centralNo;
    }
    EXPECT_EQ(scalar(*central, "SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'"), 0);
    return scalar(*central, "SELECT count(*) FROM tblSales WHERE CCID = 2");
  }
};

TEST_F(ServiceStop, SigtermMidUploadLosesNothingAndTheNextRunSendsTheRest) {
  enterSales(400);
  const pid_t pid = start({"run", "--passes", "1", "--wait-ms", "0"});
  ASSERT_GT(pid, 0);
  // Once the upload is under way, the service manager stops the runner.
  const auto deadline = std::chrono::steady_clock::now() + 120s;
  while (scalar(*central, "SELECT count(*) FROM tblSales WHERE CCID = 2") < 5 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  const int rc = wait(pid);
  const std::string output = test::readFile(outputPath());
  EXPECT_EQ(rc, 0) << output;
  EXPECT_NE(output.find("[stopped] Stopped by SIGTERM"), std::string::npos) << output;

  const long long centralAfterStop = expectNothingLostOrDoubled();
  EXPECT_GE(centralAfterStop, 5);
  EXPECT_LT(centralAfterStop, sales) << "the runner was not stopped mid-upload";

  // The next run picks up where the stopped one ended.
  int again = 0;
  runToEnd({"run", "--passes", "10", "--wait-ms", "0", "--until-quiet"}, again);
  EXPECT_EQ(again, 0) << test::readFile(outputPath());
  EXPECT_EQ(expectNothingLostOrDoubled(), sales);
  EXPECT_EQ(scalar(*branch, "SELECT count(*) FROM tblSales WHERE isnull(SyncStat, 0) = 0"), 0);
}

TEST_F(ServiceStop, ALongRunningRunnerStopsPromptlyBetweenPassesAndLogsItsExit) {
  enterSales(3);
  const pid_t pid = start({"run", "--until-stopped", "--wait-ms", "600000"});
  ASSERT_GT(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (test::readFile(outputPath()).find("Pass 1:") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  std::this_thread::sleep_for(200ms);  // into the ten-minute pause
  const auto stopAt = std::chrono::steady_clock::now();
  ASSERT_EQ(kill(pid, SIGINT), 0);
  const int rc = wait(pid);
  EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 10s);
  const std::string output = test::readFile(outputPath());
  EXPECT_EQ(rc, 0) << output;
  EXPECT_NE(output.find("Pass 1: masters applied 0, vouchers uploaded 3"), std::string::npos) << output;
  EXPECT_EQ(output.find("Pass 2:"), std::string::npos) << output;
  EXPECT_NE(output.find("[stopped] Stopped by SIGINT (Ctrl-C)"), std::string::npos) << output;
  // The daily log says why the runner ended.
  std::string logs;
  for (const auto& e : std::filesystem::recursive_directory_iterator(home.path()))
    if (e.is_regular_file() && e.path().extension() == ".txt") logs += test::readFile(e.path());
  EXPECT_NE(logs.find("Stopped by SIGINT (Ctrl-C)"), std::string::npos);
  EXPECT_NE(logs.find("Ended after 1 passes"), std::string::npos);
  EXPECT_EQ(expectNothingLostOrDoubled(), 3);
}

}  // namespace
}  // namespace erpsync
