// The tables whose changes the change log records: masters at head office, vouchers at the branch.
#pragma once

#include <string>
#include <vector>

namespace erpsync::capture {

struct WatchedTable {
  std::string triggerName;  // middle part of the three trigger names: "Trig_" + name + "Insert" ...
  std::string table;
  std::string idColumn;
};

// Masters, watched in the central company database, in the order the upgrade installs them.
const std::vector<WatchedTable>& masterTables();
// Vouchers, watched in the branch company database.
const std::vector<WatchedTable>& voucherTables();

}  // namespace erpsync::capture
