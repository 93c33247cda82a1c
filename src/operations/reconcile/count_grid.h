// The side-by-side counts: the same counting query on the branch and at head office, one row per
// label, each row equal, differing, or differing only by vouchers still waiting to go up.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::reconcile {

enum class CountState {
  Equal,
  Waiting,  // head office short by no more than what still waits at the branch: not a mismatch
  Differs,
};

struct CountRow {
  std::string label;                 // the query's Property
  std::optional<long long> branch;   // nothing when only head office returned the label
  std::optional<long long> central;  // nothing when only the branch returned the label
  CountState state = CountState::Equal;
};

struct CountComparison {
  std::vector<CountRow> rows;  // in the branch result's order, labels only head office has after them
  // The counts could not be taken (told as a notice or a box); rows is then empty.
  bool failed = false;
  // The rows that differ and are not merely waiting.
  int differing() const;
};

// Runs query (columns Property, Nos) on both sides and pairs the counts by label. waitingQuery (the
// same counts of the branch's vouchers not yet uploaded, "" for none) tells a difference that only
// waits from one that differs. Throws db::DbError.
CountComparison CompareCounts(SyncContext& ctx, const std::string& query, const std::string& waitingQuery = {});

}  // namespace erpsync::reconcile
