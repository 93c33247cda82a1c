// The facts of the run an operation works for, read once where the operation starts: which day, which
// branch, how long a voucher waits before it goes up, which voucher types the operator chose. The window
// (or the headless runner) supplies them; operations never read them out of controls.
#pragma once

#include <string>

#include "db/value.h"

namespace erpsync {

struct WorkingDay {
  db::DateTime date;            // the working date, date only
  long long costCentreId = 0;   // the branch's cost centre (tblCostCentre.CCID)
  std::string costCentreName;   // its name: how the push lock names its holder
  long long intervalMinutes = 0;  // how long a voucher waits at the branch before it goes up
  // The voucher types the operator selected, their ids joined by "," in list order ("7,12"); "" for none.
  std::string selectedVoucherTypeIds;
};

}  // namespace erpsync
