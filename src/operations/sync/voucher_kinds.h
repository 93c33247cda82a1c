// The five kinds of voucher that go up from the branch, and the columns and names each is known by.
// Every list of voucher tables in the program is derived from this one.
#pragma once

#include <string>
#include <vector>

namespace erpsync::sync {

struct VoucherKind {
  std::string table{};       // header table
  std::string detail{};      // detail table; empty when the voucher has no lines
  std::string key{};         // header key, also the detail's reference to it
  std::string identity{};    // header column the server numbers itself; empty when none
  std::string autoFilter{};  // what the automatic upload selects, followed by the branch number
  std::string deleteMark{};  // marks the central copy of a voucher deleted at the branch (+ central number)
  // How the same voucher is recognised on both sides: its printed number, its date and the column
  // that carries the deletion mark.
  std::string numberColumn{};
  std::string dateColumn{};
  std::string markColumn{};
  // The column with the time of day the voucher was entered.
  std::string timeColumn{};
  // How the day end's count grid names the headers and the lines of this kind ("Sales", "SalesItem");
  // lineCountName is empty where the day end does not count the lines.
  std::string countName{};
  std::string lineCountName{};
  // The log labels of a manual re-sync's statements (support staff search the log by them): the central
  // header delete, the central line delete, the branch's re-queue.
  std::string resyncHeaderLabel{};
  std::string resyncDetailLabel{};
  std::string resyncBranchLabel{};
  // Where the day end's count checks take this kind (1 first), so its refusal names the tables in the
  // order operators know.
  int countPosition{};
  // How the UpdateStatus page's count grid names the headers and the lines of this kind ("Receipt",
  // "StockJournalDetail"); statusLineCountName is empty for a kind without lines.
  std::string statusCountName{};
  std::string statusLineCountName{};
};

const std::vector<VoucherKind>& voucherKinds();
// The kind of a change-log table name, compared ignoring case; nullptr for any other table.
const VoucherKind* voucherKind(const std::string& table);

}  // namespace erpsync::sync
