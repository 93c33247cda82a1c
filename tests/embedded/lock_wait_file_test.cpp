// A process asked for its lock-wait figures (ERPSYNC_LOCK_WAIT_FILE) appends them as it exits: here an
// erpsync-cli whose insert waits for this process's open transaction.
#include <chrono>
#include <fstream>
#include <thread>

#include "db/embedded/lock_wait.h"
#include "embedded_test_util.h"
#include "process_runner.h"

namespace erpsync::test {
namespace {

class EmbeddedLockWaitFile : public EmbeddedFixture {};

TEST_F(EmbeddedLockWaitFile, AProcessAppendsItsFiguresWhenItExits) {
  auto holder = server("srv");
  holder->execute("CREATE TABLE tblItem (ItemID int NOT NULL PRIMARY KEY)");
  const auto file = base() / "lock-wait.txt";
  const std::string cli = "ERPSYNC_LOCK_WAIT_FILE='" + file.string() + "' '" + cliPath() + "' sql --home '" +
                          base().string() + "' --server embedded:srv --database DB -e ";

  ASSERT_EQ(runCommand(cli + "'SELECT 1' 2>&1").exitCode, 0);
  holder->beginTrans();
  holder->execute("INSERT INTO tblItem (ItemID) VALUES (1)");
  ProcessResult waited;
  std::thread child([&] { waited = runCommand(cli + "'INSERT INTO tblItem (ItemID) VALUES (2)' 2>&1"); });
  // Long enough for the child to start and meet the lock, on a loaded machine too.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  holder->commitTrans();
  child.join();
  ASSERT_EQ(waited.exitCode, 0) << waited.output;

  std::ifstream in(file);
  std::string first, second, more;
  ASSERT_TRUE(std::getline(in, first));
  ASSERT_TRUE(std::getline(in, second));
  EXPECT_FALSE(std::getline(in, more));
  const auto quiet = db::embedded::LockWaitStats::fromLine(first);
  const auto busy = db::embedded::LockWaitStats::fromLine(second);
  ASSERT_TRUE(quiet && busy) << first << "\n" << second;
  EXPECT_GE(quiet->calls(), 1);
  EXPECT_EQ(quiet->waitedCalls(), 0);
  EXPECT_EQ(busy->waitedCalls(), 1);
  EXPECT_GT(busy->max(), std::chrono::milliseconds(0));
  EXPECT_GE(busy->wall, busy->total());
}

}  // namespace
}  // namespace erpsync::test
