// Lock waits: a call that has to wait for another connection's write lock is counted with the time it
// waited, on its connection and in the process's figures; the figures' percentiles and their line of
// text, which carries them from a branch process to the report of a concurrency run.
#include "db/embedded/lock_wait.h"

#include <chrono>
#include <thread>

#include "db/embedded/embedded_connection.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using db::embedded::LockWaitStats;
using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(LockWaitStats, PercentilesFollowTheWaitsWithinAnEighth) {
  LockWaitStats s;
  for (int i = 0; i < 90; ++i) s.add(microseconds(0));
  for (int i = 1; i <= 9; ++i) s.add(microseconds(1000 * i));
  s.add(microseconds(250000));
  EXPECT_EQ(s.calls(), 100);
  EXPECT_EQ(s.waitedCalls(), 10);
  EXPECT_EQ(s.total(), microseconds(45000 + 250000));
  EXPECT_EQ(s.percentile(0.5), microseconds(0));
  EXPECT_NEAR(static_cast<double>(s.percentile(0.95).count()), 5000.0, 5000.0 / 8);
  EXPECT_EQ(s.percentile(0.999), microseconds(250000));
  EXPECT_EQ(s.max(), microseconds(250000));
  // Among the ten calls that waited: 1..9 ms and 250 ms.
  EXPECT_NEAR(static_cast<double>(s.percentileOfWaits(0.5).count()), 5000.0, 5000.0 / 8);
  EXPECT_EQ(s.percentileOfWaits(0.99), microseconds(250000));
  s.wall = microseconds(2950000);
  EXPECT_DOUBLE_EQ(s.waitingShare(), 0.1);
}

TEST(LockWaitStats, ALineCarriesTheFiguresAndLinesAddUp) {
  LockWaitStats a, b;
  for (int i = 0; i < 7; ++i) a.add(microseconds(i * 3000));
  a.wall = microseconds(1000000);
  b.add(microseconds(0));
  b.add(microseconds(40000));
  b.wall = microseconds(500000);
  const auto back = LockWaitStats::fromLine(a.toLine());
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->toLine(), a.toLine());
  LockWaitStats both = *back;
  both.merge(*LockWaitStats::fromLine(b.toLine()));
  EXPECT_EQ(both.calls(), 9);
  EXPECT_EQ(both.waitedCalls(), 7);
  EXPECT_EQ(both.total(), microseconds(63000 + 40000));
  EXPECT_EQ(both.max(), microseconds(40000));
  EXPECT_EQ(both.wall, microseconds(1500000));
  EXPECT_FALSE(LockWaitStats::fromLine("something else").has_value());
}

class EmbeddedLockWait : public EmbeddedFixture {};

TEST_F(EmbeddedLockWait, AWriteWaitingForAnotherConnectionsTransactionIsCounted) {
  auto holder = server("srv");
  holder->execute("CREATE TABLE tblItem (ItemID int NOT NULL PRIMARY KEY, Name varchar(40))");
  auto writer = connect("srv");
  auto& counted = dynamic_cast<db::embedded::EmbeddedConnection&>(*writer);
  writer->execute("INSERT INTO tblItem (ItemID, Name) VALUES (1, 'alone')");  // nobody in the way
  db::embedded::resetLockWaitStats();

  holder->beginTrans();
  holder->execute("INSERT INTO tblItem (ItemID, Name) VALUES (2, 'held')");
  std::thread release([&] {
    std::this_thread::sleep_for(milliseconds(300));
    holder->commitTrans();
  });
  writer->execute("INSERT INTO tblItem (ItemID, Name) VALUES (3, 'waited')");
  release.join();

  EXPECT_EQ(writer->query("SELECT count(*) FROM tblItem").at(0, 0).toInt(), 3);
  const LockWaitStats mine = counted.lockWaitStats();
  EXPECT_EQ(mine.calls(), 3);  // the first insert, the one that waited, the count
  EXPECT_EQ(mine.waitedCalls(), 1);
  // It waited at least most of the time the other transaction still held the lock after it asked.
  EXPECT_GE(mine.max(), milliseconds(150));
  EXPECT_EQ(mine.total(), mine.max());
  const LockWaitStats all = db::embedded::lockWaitStats();
  EXPECT_EQ(all.waitedCalls(), 1);
  EXPECT_EQ(all.max(), mine.max());
  EXPECT_EQ(all.calls(), 5);  // the holder's begin, insert and commit; the writer's wait and count
}

}  // namespace
}  // namespace erpsync::test
