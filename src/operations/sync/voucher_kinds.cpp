#include "sync/voucher_kinds.h"

#include "util/text.h"

namespace erpsync {

const std::vector<VoucherKind>& voucherKinds() {
  static const std::vector<VoucherKind> kinds{
      {"tblSales", "tblSalesItem", "InvID", "", " isnull(SyncStat,0)=0 and INvID=",
       "update  tblSales set Party='#DELETEDFROMBRANCH#' where INvID=", "InvNo", "InvDate", "Party"},
      {"tblNotes", "", "VchID", "ID", "isnull(SyncStat,0)=0 and VchID=",
       "update  tblNotes set NARRATION='#DELETEDFROMBRANCH#' where vchID=", "VchNo", "VchDate", "Narration"},
      {"tblStockJournal", "tblStockJournalDetail", "InvID", "", "isnull(SyncStat,0)=0 and InvID=",
       "update  tblStockJournal set Party='#DELETEDFROMBRANCH#' where INvID=", "InvNo", "InvDate", "Party"},
      {"tblJobCard", "tblJobCardDetail", "JobCardID", "", "isnull(SyncStat,0)=0 and JobCardID=",
       "update  tblJobCard set Party='#DELETEDFROMBRANCH#' where JobcardID=", "JobCardNo", "JobCardDate", "Party"},
      {"tblOrder", "tblOrderItem", "InvID", "", "isnull(SyncStat,0)=0 and inviD=",
       "update  tblOrder set Party='#DELETEDFROMBRANCH#' where INvID=", "InvNo", "InvDate", "Party"},
  };
  return kinds;
}

const VoucherKind* voucherKind(const std::string& table) {
  for (const auto& k : voucherKinds())
    if (text::iequals(k.table, table)) return &k;
  return nullptr;
}

}  // namespace erpsync
