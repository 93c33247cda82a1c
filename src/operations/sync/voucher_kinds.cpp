// The five kinds of voucher that go up from the branch, and the columns and names each is known by.
#include "sync/voucher_kinds.h"

#include "util/text.h"

namespace erpsync::sync {

const std::vector<VoucherKind>& voucherKinds() {
  static const std::vector<VoucherKind> kinds{
      {.table = "tblSales",
       .detail = "tblSalesItem",
       .key = "InvID",
       .autoFilter = " isnull(SyncStat,0)=0 and INvID=",
       .deleteMark = "update  tblSales set Party='#DELETEDFROMBRANCH#' where INvID=",
       .numberColumn = "InvNo",
       .dateColumn = "InvDate",
       .markColumn = "Party",
       .timeColumn = "BillTime",
       .countName = "Sales",
       .lineCountName = "SalesItem",
       .resyncHeaderLabel = "Delete Sales Web",
       .resyncDetailLabel = "Delete Sales item Web",
       .resyncBranchLabel = "Update Sales",
       .countPosition = 1,
       .statusCountName = "Sales",
       .statusLineCountName = "SalesItem"},
      {.table = "tblNotes",
       .key = "VchID",
       .identity = "ID",
       .autoFilter = "isnull(SyncStat,0)=0 and VchID=",
       .deleteMark = "update  tblNotes set NARRATION='#DELETEDFROMBRANCH#' where vchID=",
       .numberColumn = "VchNo",
       .dateColumn = "VchDate",
       .markColumn = "Narration",
       .timeColumn = "BillTime",
       .countName = "Notes",
       .resyncHeaderLabel = "Delete Notes Web",
       .resyncBranchLabel = "Update NOtes",
       .countPosition = 4,
       .statusCountName = "Receipt"},
      {.table = "tblStockJournal",
       .detail = "tblStockJournalDetail",
       .key = "InvID",
       .autoFilter = "isnull(SyncStat,0)=0 and InvID=",
       .deleteMark = "update  tblStockJournal set Party='#DELETEDFROMBRANCH#' where INvID=",
       .numberColumn = "InvNo",
       .dateColumn = "InvDate",
       .markColumn = "Party",
       .timeColumn = "BillTime",
       .countName = "StockJournal",
       .lineCountName = "StockJournalItem",
       .resyncHeaderLabel = "Delete tblStockJournal Web",
       .resyncDetailLabel = "Delete Stock Journal Web",
       .resyncBranchLabel = "Update Sales",
       .countPosition = 2,
       .statusCountName = "StockJournal",
       .statusLineCountName = "StockJournalDetail"},
      {.table = "tblJobCard",
       .detail = "tblJobCardDetail",
       .key = "JobCardID",
       .autoFilter = "isnull(SyncStat,0)=0 and JobCardID=",
       .deleteMark = "update  tblJobCard set Party='#DELETEDFROMBRANCH#' where JobcardID=",
       .numberColumn = "JobCardNo",
       .dateColumn = "JobCardDate",
       .markColumn = "Party",
       .timeColumn = "JobCardTime",
       .countName = "Jobcard",
       .resyncHeaderLabel = "Delete tblJobcard Web",
       .resyncDetailLabel = "Delete Job Card Web",
       .resyncBranchLabel = "Update Jobcard ",
       .countPosition = 5,
       .statusCountName = "JobCard",
       .statusLineCountName = "JobCardDetail"},
      {.table = "tblOrder",
       .detail = "tblOrderItem",
       .key = "InvID",
       .autoFilter = "isnull(SyncStat,0)=0 and inviD=",
       .deleteMark = "update  tblOrder set Party='#DELETEDFROMBRANCH#' where INvID=",
       .numberColumn = "InvNo",
       .dateColumn = "InvDate",
       .markColumn = "Party",
       .timeColumn = "BillTime",
       .countName = "Order",
       .lineCountName = "OrderItem",
       .resyncHeaderLabel = "Delete tblOrder Web",
       .resyncDetailLabel = "Delete tblOrder Web",
       .resyncBranchLabel = "Update tblOrder",
       .countPosition = 3,
       .statusCountName = "Order",
       .statusLineCountName = "OrderItem"},
  };
  return kinds;
}

const VoucherKind* voucherKind(const std::string& table) {
  for (const auto& k : voucherKinds())
    if (text::iequals(k.table, table)) return &k;
  return nullptr;
}

}  // namespace erpsync::sync
