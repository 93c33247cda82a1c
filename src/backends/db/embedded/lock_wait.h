// How long calls on the embedded server waited for locks other connections held: the write lock of a
// catalog (BEGIN IMMEDIATE, a statement's own transaction, another process's commit or checkpoint),
// waited out in SQLite's busy handler. This is where several branches, the ERP and head office's
// writers serialise on one server. Kept per connection and for the whole process.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace erpsync::db::embedded {

// Calls (a batch, a begin or a commit of the API's transaction) and their waits, with a histogram of
// the waits fine enough for percentiles within an eighth of the value.
class LockWaitStats {
 public:
  using Micros = std::chrono::microseconds;

  // One call that waited `wait` in all (zero for most).
  void add(Micros wait);
  void merge(const LockWaitStats& other);

  long long calls() const { return calls_; }
  long long waitedCalls() const { return waited_; }
  Micros total() const { return Micros(totalUs_); }
  Micros max() const { return Micros(maxUs_); }
  // The wait that the share q (0..1) of calls stayed within; never above max().
  Micros percentile(double q) const;
  // The same among the calls that waited at all (most calls wait for nothing).
  Micros percentileOfWaits(double q) const;
  // The time the figures cover (set by whoever hands them out; adds up under merge).
  Micros wall{0};
  // The share of wall spent waiting (0 when wall is 0).
  double waitingShare() const;

  // One line of text and back, to hand figures from one process to another.
  std::string toLine() const;
  static std::optional<LockWaitStats> fromLine(std::string_view line);

 private:
  static constexpr std::size_t kBuckets = 8 + 8 * 41;
  static std::size_t bucketOf(std::int64_t us);
  static std::int64_t bucketTop(std::size_t bucket);
  Micros percentileFrom(std::size_t firstBucket, long long count, double q) const;

  long long calls_ = 0, waited_ = 0;
  std::int64_t totalUs_ = 0, maxUs_ = 0;
  std::array<std::uint64_t, kBuckets> buckets_{};
};

// The process's figures since it started or since the last reset, wall being the time since then.
LockWaitStats lockWaitStats();
void resetLockWaitStats();
// Adds one call of a connection to the process's figures (the connections do this themselves).
void recordLockWait(LockWaitStats::Micros wait);

// When ERPSYNC_LOCK_WAIT_FILE names a file, the process appends its figures (toLine) to it as it exits
// normally. Read once; called by every embedded connection's constructor.
void loadLockWaitFileFromEnvironment();

}  // namespace erpsync::db::embedded
