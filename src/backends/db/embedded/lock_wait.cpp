// The figures of lock waits (see lock_wait.h): the histogram, its line of text, the process's own
// figures and their file at exit.
#include "db/embedded/lock_wait.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>

namespace erpsync::db::embedded {

namespace {

using Clock = std::chrono::steady_clock;

struct ProcessFigures {
  std::mutex m;
  LockWaitStats stats;
  Clock::time_point since = Clock::now();
  std::string file;  // ERPSYNC_LOCK_WAIT_FILE
};

ProcessFigures& process() {
  static ProcessFigures* p = new ProcessFigures;  // never destroyed: written while the process exits
  return *p;
}

void writeAtExit() {
  const LockWaitStats s = lockWaitStats();
  const std::string& file = process().file;
  if (FILE* f = std::fopen(file.c_str(), "a")) {
    std::fprintf(f, "%s\n", s.toLine().c_str());
    std::fclose(f);
  }
}

}  // namespace

// Below 8 µs one bucket per microsecond; above, eight buckets per power of two.
std::size_t LockWaitStats::bucketOf(std::int64_t us) {
  if (us < 8) return static_cast<std::size_t>(std::max<std::int64_t>(us, 0));
  const int e = std::bit_width(static_cast<std::uint64_t>(us)) - 1;  // 3 and up
  const std::size_t sub = static_cast<std::size_t>((us >> (e - 3)) & 7);
  return std::min(kBuckets - 1, 8 + static_cast<std::size_t>(e - 3) * 8 + sub);
}

std::int64_t LockWaitStats::bucketTop(std::size_t b) {
  if (b < 8) return static_cast<std::int64_t>(b);
  const int e = static_cast<int>((b - 8) / 8) + 3;
  const std::int64_t sub = static_cast<std::int64_t>((b - 8) % 8);
  return ((8 + sub + 1) << (e - 3)) - 1;
}

void LockWaitStats::add(Micros wait) {
  const std::int64_t us = std::max<std::int64_t>(wait.count(), 0);
  ++calls_;
  if (us > 0) ++waited_;
  totalUs_ += us;
  maxUs_ = std::max(maxUs_, us);
  ++buckets_[bucketOf(us)];
}

void LockWaitStats::merge(const LockWaitStats& o) {
  calls_ += o.calls_;
  waited_ += o.waited_;
  totalUs_ += o.totalUs_;
  maxUs_ = std::max(maxUs_, o.maxUs_);
  for (std::size_t i = 0; i < kBuckets; ++i) buckets_[i] += o.buckets_[i];
  wall += o.wall;
}

LockWaitStats::Micros LockWaitStats::percentile(double q) const {
  return percentileFrom(0, calls_, q);
}

LockWaitStats::Micros LockWaitStats::percentileOfWaits(double q) const {
  return percentileFrom(1, waited_, q);
}

LockWaitStats::Micros LockWaitStats::percentileFrom(std::size_t firstBucket, long long count, double q) const {
  if (count == 0) return Micros(0);
  const auto rank = static_cast<std::uint64_t>(std::max(1.0, q * static_cast<double>(count) + 0.5));
  std::uint64_t seen = 0;
  for (std::size_t i = firstBucket; i < kBuckets; ++i) {
    seen += buckets_[i];
    if (seen >= rank) return Micros(std::min(bucketTop(i), maxUs_));
  }
  return Micros(maxUs_);
}

double LockWaitStats::waitingShare() const {
  return wall.count() > 0 ? static_cast<double>(totalUs_) / static_cast<double>(wall.count()) : 0.0;
}

std::string LockWaitStats::toLine() const {
  std::ostringstream out;
  out << "lock-wait calls=" << calls_ << " waited=" << waited_ << " total_us=" << totalUs_ << " max_us=" << maxUs_
      << " wall_us=" << wall.count() << " buckets=";
  bool first = true;
  for (std::size_t i = 0; i < kBuckets; ++i) {
    if (!buckets_[i]) continue;
    out << (first ? "" : ",") << i << ':' << buckets_[i];
    first = false;
  }
  return out.str();
}

std::optional<LockWaitStats> LockWaitStats::fromLine(std::string_view line) {
  std::istringstream in{std::string(line)};
  std::string word;
  if (!(in >> word) || word != "lock-wait") return std::nullopt;
  LockWaitStats s;
  long long wall = 0;
  while (in >> word) {
    const auto eq = word.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
    if (key == "buckets") {
      std::istringstream list(value);
      std::size_t b = 0;
      char colon = 0, comma = 0;
      std::uint64_t n = 0;
      while (list >> b >> colon >> n) {
        if (colon != ':' || b >= kBuckets) return std::nullopt;
        s.buckets_[b] += n;
        list >> comma;
      }
      continue;
    }
    const long long v = std::atoll(value.c_str());
    if (key == "calls")
      s.calls_ = v;
    else if (key == "waited")
      s.waited_ = v;
    else if (key == "total_us")
      s.totalUs_ = v;
    else if (key == "max_us")
      s.maxUs_ = v;
    else if (key == "wall_us")
      wall = v;
  }
  s.wall = Micros(wall);
  return s;
}

LockWaitStats lockWaitStats() {
  ProcessFigures& p = process();
  std::lock_guard lock(p.m);
  LockWaitStats s = p.stats;
  s.wall = std::chrono::duration_cast<LockWaitStats::Micros>(Clock::now() - p.since);
  return s;
}

void resetLockWaitStats() {
  ProcessFigures& p = process();
  std::lock_guard lock(p.m);
  p.stats = LockWaitStats{};
  p.since = Clock::now();
}

void recordLockWait(LockWaitStats::Micros wait) {
  ProcessFigures& p = process();
  std::lock_guard lock(p.m);
  p.stats.add(wait);
}

void loadLockWaitFileFromEnvironment() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* file = std::getenv("ERPSYNC_LOCK_WAIT_FILE");
    if (!file || !*file) return;
    process().file = file;
    std::atexit(writeAtExit);
  });
}

}  // namespace erpsync::db::embedded
