// The five kinds of voucher that go up from the branch, and the columns each is known by.
#pragma once

#include <string>
#include <vector>

namespace erpsync {

struct VoucherKind {
  std::string table;       // header table
  std::string detail;      // detail table; empty when the voucher has no lines
  std::string key;         // header key, also the detail's reference to it
  std::string identity;    // header column the server numbers itself; empty when none
  std::string autoFilter;  // what the automatic upload selects, followed by the branch number
  std::string deleteMark;  // marks the central copy of a voucher deleted at the branch (+ central number)
  // How the same voucher is recognised on both sides: its printed number, its date and the column
  // that carries the deletion mark.
  std::string numberColumn;
  std::string dateColumn;
  std::string markColumn;
};

const std::vector<VoucherKind>& voucherKinds();
// The kind of a change-log table name, compared ignoring case; nullptr for any other table.
const VoucherKind* voucherKind(const std::string& table);

}  // namespace erpsync
