// The tables whose changes the change log records: masters at head office, vouchers at the branch.
#include "capture/watched_tables.h"

namespace erpsync::capture {

const std::vector<WatchedTable>& masterTables() {
  static const std::vector<WatchedTable> tables{
      {"Area", "tblArea", "AreaID"},
      {"Categories", "tblCategories", "CategoryID"},
      {"CostCentre", "tblCostCentre", "CCID"},
      {"Employee", "tblEmployee", "EmpID"},
      {"Godown", "tblGodown", "GodownID"},
      {"Iteams", "tblItemMaster", "Itemid"},
      {"Ledger", "tblLedger", "LID"},
      {"TaxClass", "tblTaxClass", "TaxClassID"},
      {"HSNCODE", "tblHSNCODE", "HSNID"},
      {"Unit", "tblUnit", "UnitID"},
      {"User", "tblUserMaster", "UserID"},
      {"Usergroup", "tblUserGroupMaster", "ID"},
      {"PricList", "tblpricelist", "UNIQUEID"},
      {"VchType", "tblVchType", "VchTypeID"},
      {"CustomerProfile", "tblCustomerProfile", "ProfileID"},
      {"CustomerCard", "tblCustomerCard", "CustomerCardID"},
      {"CurrencyDetail", "tblCurrencyDetail", "CurrencyDetailID"},
      {"Currency", "tblCurrency", "CurrencyID"},
  };
  return tables;
}

const std::vector<WatchedTable>& voucherTables() {
  static const std::vector<WatchedTable> tables{
      {"Sales", "tblSales", "InvId"},
      {"Notes", "tblNotes", "VchID"},
      {"StockJournal", "tblStockJournal", "INVID"},
      {"Order", "tblOrder", "INvID"},
      {"JobCard", "tblJobcard", "JobcardID"},
  };
  return tables;
}

}  // namespace erpsync::capture
