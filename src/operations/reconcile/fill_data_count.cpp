// The master comparison of the "Data Status" page: one count per master table on both sides.
#include "reconcile/fill_data_count.h"

#include "db/connection.h"
#include "reconcile/count_grid.h"
#include "shared/sync_context.h"

namespace erpsync::reconcile {

std::string masterCountQuery() {
  return std::string(" SELECT     'Category' AS Property, COUNT(CategoryID) AS Nos From tblCategories ") +
         " Union SELECT     'ItemMaster' AS Property, COUNT(ItemID) AS Nos From tblItemMaster " +
         " Union SELECT     'Costcentre' AS Property, COUNT(CCID) AS Nos From tblcostCentre " +
         " Union SELECT     'Area' AS Property, COUNT(AreaID) AS Nos From tblArea " +
         " Union SELECT     'AccountGroup' AS Property, COUNT(AccountGroupID) AS Nos From tblAccountGroup " +
         " Union SELECT     'Employee' AS Property, COUNT(EmpID) AS Nos From tblEmployee " +
         " Union SELECT     'Ledger' AS Property, COUNT(LID) AS Nos FROM         tblLedger AS tblEmployee_1 " +
         " Union SELECT     'TaxClass' AS Property, COUNT(TaxClassID) AS Nos From tblTaxClass " +
         " Union SELECT     'HSNCode' AS Property, COUNT(HSNID) AS Nos From tblHSNCODE " +
         " Union SELECT     'Usergroup' AS Property, COUNT(ID) AS Nos From tblUserGroupMaster " +
         " Union SELECT     'Accountgroup' AS Property, COUNT(AccountgroupID) AS Nos From tblAccountgroup  " +
         " Union SELECT     'User' AS Property, COUNT(UserID) AS Nos From tblUserMaster  " +
         " Union SELECT     'Pricelist' AS Property, COUNT(UNIQUEID) AS Nos From tblpricelist  " +
         " Union SELECT     'BoardRateMaster' AS Property, COUNT(ID) AS Nos  From tblBoardRateMaster WHERE     "
         "(Vchdate = (SELECT     MAX(Vchdate) AS Expr1 FROM          tblBoardRateMaster AS tblBoardRateMaster_1 "
         "WHERE      (ItemID = tblBoardRateMaster.ItemID)))  ORDER BY Property ";
}

CountComparison CompareMasterCounts(SyncContext& ctx) {
  try {
    return CompareCounts(ctx, masterCountQuery());
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
    CountComparison failed;
    failed.failed = true;
    return failed;
  }
}

}  // namespace erpsync::reconcile
