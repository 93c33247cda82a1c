// The voucher oracle: what must hold between a branch and head office for the vouchers that go up,
// read with plain SQL from the two company databases. It knows the ERP's data (the voucher families,
// their natural keys, the branch's upload marks, head office's retirement mark) and nothing of how the
// synchroniser moves it, so a fault in the synchroniser cannot hide behind a matching fault here.
//
// Strong (after the user's recovery):
//   one-copy   every branch voucher that goes up has exactly one live head-office copy with its
//              natural key (number, date, voucher type, cost centre), equal in every header column both
//              sides have (less the key, head office's own row number, SyncStat, ServInvID, LockMode)
//              and in its lines as a multiset; the branch's mark names that copy
//   no-orphan  no live head-office copy of the branch lacks a branch voucher with its natural key
//   no-half    no head-office line without its header; no live copy without lines where the branch
//              voucher has lines
// Weak (right after a fault, before any recovery):
//   at-most-one, no-half, and a marked voucher's ServInvID names a head-office row of its own natural
//   key (live or retired), never another voucher's, and no two vouchers name the same row.
// Values compare as the ERP treats them: NULL, blank text and zero are equal; text without trailing
// blanks; numbers to the cent.
#pragma once

#include <compare>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/value.h"

namespace erpsync::db {
class Connection;
}

namespace erpsync::testbed::oracle {

// A voucher family: header and lines (none for notes), the key the lines hang on, the number and
// date of its natural key, the text column head office marks a deletion at the branch in, and the
// identity column head office numbers itself (empty when none).
struct Family {
  std::string header, lines, key, number, date, mark, identity;
};
const std::vector<Family>& families();

// The parent voucher types whose vouchers go up from a branch.
const std::set<long long>& uploadedParents();

// The text head office writes into a copy's mark column when the branch deleted the voucher.
inline constexpr const char* kRetired = "#DELETEDFROMBRANCH#";

// A head-office row: family header table and its key.
struct CopyRef {
  std::string table;
  long long key = 0;
  auto operator<=>(const CopyRef&) const = default;
};

struct Options {
  int costCentre = 2;
  bool strong = true;
  // Live copies left at head office on purpose (a day purge keeps other dates' copies): not orphans.
  std::set<CopyRef> allowedOrphans;
  // Weak mode: a mark may name a head-office row that is gone (head office deleted its copy, or a
  // replacement of the day removed it before sending it again).
  bool marksMayDangle = false;
  // Weak mode: judge only the marks of these branch vouchers (header table and branch key), e.g. those
  // a faulted run wrote; all marks when unset.
  std::optional<std::set<CopyRef>> marksOf;
};

struct Finding {
  std::string rule;  // "one-copy", "no-orphan", "no-half", "marks", "at-most-one"
  std::string text;
};

// Reads both databases and reports every rule broken.
std::vector<Finding> check(db::Connection& branch, db::Connection& central, const Options& options);

// The live head-office copies of a cost centre's vouchers that go up, less those dated `except`.
std::set<CopyRef> liveCopies(db::Connection& branch, db::Connection& central, int costCentre,
                             std::optional<db::DateTime> except = std::nullopt);

// "rule: text" lines, one a finding.
std::vector<std::string> lines(const std::vector<Finding>& findings);

// A value as the ERP compares it ("" for NULL, blank and zero; numbers in cents).
std::string comparable(const db::Value& v);

}  // namespace erpsync::testbed::oracle
