// The watchdog that cancels driver calls running past the command time-out.
#include "db/odbc/odbc_watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using erpsync::db::odbc::Watchdog;
using namespace std::chrono_literals;

namespace {

// Waits up to `limit` for `n` to reach `want`.
bool reaches(const std::atomic<int>& n, int want, std::chrono::milliseconds limit = 3000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (n.load() < want && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
  return n.load() >= want;
}

}  // namespace

TEST(OdbcWatchdog, CancelsACallPastItsDeadlineOnceAndSaysSo) {
  Watchdog w;
  std::atomic<int> cancels{0};
  w.arm(50ms, [&] { ++cancels; });
  ASSERT_TRUE(reaches(cancels, 1));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(cancels.load(), 1) << "one deadline, one cancel";
  EXPECT_TRUE(w.disarm());
  EXPECT_FALSE(w.disarm()) << "the report belongs to the deadline that fired";

  // Armed again after firing: it keeps working.
  w.arm(20ms, [&] { ++cancels; });
  EXPECT_TRUE(reaches(cancels, 2));
  EXPECT_TRUE(w.disarm());
}

TEST(OdbcWatchdog, CallsThatEndInTimeAreNeverCancelled) {
  Watchdog w;
  std::atomic<int> cancels{0};
  for (int i = 0; i < 10000; ++i) {
    w.arm(500ms, [&] { ++cancels; });
    EXPECT_FALSE(w.disarm());
  }
  std::this_thread::sleep_for(700ms);  // past every deadline that was set
  EXPECT_EQ(cancels.load(), 0);
}

TEST(OdbcWatchdog, AShortDeadlineAfterALongOneIsKept) {
  // The thread sleeps toward the long deadline; the short one must wake it.
  Watchdog w;
  std::atomic<int> cancels{0};
  w.arm(1h, [&] { ++cancels; });
  EXPECT_FALSE(w.disarm());
  const auto start = std::chrono::steady_clock::now();
  w.arm(30ms, [&] { ++cancels; });
  ASSERT_TRUE(reaches(cancels, 1));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_TRUE(w.disarm());
}

TEST(OdbcWatchdog, GoesAwayPromptlyWhileArmedWithoutCancelling) {
  std::atomic<int> cancels{0};
  const auto start = std::chrono::steady_clock::now();
  {
    Watchdog w;
    w.arm(1h, [&] { ++cancels; });
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_EQ(cancels.load(), 0);
}
