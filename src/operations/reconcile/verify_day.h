// The day's vouchers compared one by one between the branch and head office: counts can agree while
// contents differ (a changed amount, a line replaced by another), and the operator should see that
// before closing the day.
#pragma once

#include <string>
#include <vector>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::reconcile {

enum class Finding {
  Differs,           // both sides hold it; header fields, line count or line sums differ
  MissingCentrally,  // uploaded, but head office holds no live copy
  OnlyCentrally,     // a live copy at head office that the branch does not hold
  TwiceCentrally,    // more than one live copy at head office
  Waiting,           // not yet uploaded
};

struct VoucherDifference {
  std::string table;
  std::string number;
  std::string date;  // "dd/MMM/yyyy"
  long long type = 0;
  std::string typeName;  // the voucher type's name at the branch ("" when unknown)
  Finding finding = Finding::Differs;
  std::string detail;  // what differs, in words ("BillAmt 120 / 110; lines 3 / 2"), branch value first
};

struct VerifyOutcome {
  std::vector<VoucherDifference> differences;
  int compared = 0;     // branch vouchers looked at
  bool failed = false;  // an error ended the check (told as a notice); differences found so far stay
};

// Compares every voucher of the working date of this branch's cost centre, of the chosen voucher
// types when any are chosen and else of the types the upload sends, between LocalConnection and
// WebConnection: the header fields the upload copies, the number of lines, and the sums of line
// quantities and amounts. Central copies retired from the branch ('#DELETEDFROMBRANCH#') do not count.
// One difference per voucher that differs; the table being compared is told as the stage.
VerifyOutcome VerifyDay(SyncContext& ctx, const WorkingDay& day);
// The same for the run's working day (SyncContext::day()).
VerifyOutcome VerifyDay(SyncContext& ctx);
// The same for every date from `from` to the working date (the days a day end's counts cover), two
// reads a family on each side whatever the number of dates.
VerifyOutcome VerifyDays(SyncContext& ctx, const WorkingDay& day, const db::DateTime& from);

// The words a finding is shown with.
std::string findingText(Finding f);

}  // namespace erpsync::reconcile
