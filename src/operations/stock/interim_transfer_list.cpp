// The listing half of the "Stock Transfer" page: the vouchers of a type and the items of one voucher.
#include "stock/interim_transfer_list.h"

#include <fmt/format.h>

#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "stock/import_board_rate_updator.h"

namespace erpsync::stock {

namespace {

// "11:30: AM" from a bill time held as a date-time or as text; other text as it is.
std::string billTime(const db::Value& v) {
  if (auto t = v.toDateTime(); t && v.isDateTime()) {
    const int h12 = t->hour % 12 == 0 ? 12 : t->hour % 12;
    return fmt::format("{:02}:{:02}: {}", h12, t->minute, t->hour < 12 ? "AM" : "PM");
  }
  return v.toString();
}

std::string dateText(const db::Value& v) {
  auto d = v.toDateTime();
  return d ? ddMMMyyyy(*d) : v.toString();
}

}  // namespace

int interimParentType(SyncContext& ctx, long long vchTypeId) {
  auto rs = ctx.web().query("select ParentID from tblVchtype where VchTypeID=" + std::to_string(vchTypeId));
  return rs.empty() ? 0 : static_cast<int>(rs.at(0, 0).toInt());
}

bool isJournalParent(int p) {
  return p == 5 || p == 6 || p == 16 || p == 41 || p == 1005;
}

std::string interimTransferListQuery(const WorkingDay& day, const DayStartShown& since, int parent, long long type,
                                     bool top50) {
  const std::string C = std::to_string(day.costCentreId);
  const std::string T = std::to_string(type);
  // The day start the page shows (a caption that is not a date: no date filter).
  const auto start = boardRateEntryDate(since.date);
  const std::string D = start ? db::sqlQuote(start->iso().substr(0, 10)) : "";
  const std::string H = db::sqlQuote(since.time);
  const std::string W = db::sqlQuote(day.date.iso().substr(0, 10));
  const std::string head =
      std::string(top50 ? "select  top 50 " : "select  ") + "InvId, InvNo, InvDate,BillTime, Party,Customfield1 From ";
  switch (parent) {
    case -1:
      return std::string(
                 "SELECT  TOP (1) 0 as InvID,'NONUM' as InvNo,   Vchdate AS InvDate,'' as BillTime,'' as Party, "
                 "Customfield1 FROM  tblBoardRateMaster AS tblBoardRateMaster_1 ") +
             (start ? " where  Vchdate>=" + D : "") + " ORDER BY Vchdate DESC";
    case 2:
      return head + "tblPurchase Where VchTypeID=" + T +
             (start ? " and StockDate>=" + D + " and BillTime>" + H + " and  StockDate=" + W : "") +
             " and (CCID = " + C + " ) oRDER BY InvDate desc";
    case 5:
    case 6:
    case 41:
    case 1005:
      return head + "tblStockJournal Where VchTypeID=" + T +
             (start ? " and InvDate>=" + D + " and BillTime>" + H + " and INvDate>=" + W : "") + " and (CCID = " + C +
             "  ) oRDER BY InvDate desc";
    case 16:
      return head + "tblStockJournal Where VchTypeID=" + T +
             (start ? " and InvDate>=" + D + " and BillTime>" + H : "") + " and (DestCCID = " + C +
             "  ) oRDER BY InvDate desc";
    default:
      return {};
  }
}

std::string interimTransferTypesQuery(const WorkingDay& day) {
  return " SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType FROM     tblStockHistory INNER JOIN  "
         "tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) and CCID "
         "=" +
         std::to_string(day.costCentreId) + " and (tblStockHistory.qtyIN > 0) ";
}

std::string interimListEntry(const db::Recordset& rs, std::size_t r) {
  return rs.at(r, "InvNo").toString() + " - " + dateText(rs.at(r, "InvDate")) + " : " + billTime(rs.at(r, "BillTime")) +
         "/" + rs.at(r, "Customfield1").toString();
}

std::vector<TransferEntry> listInterimTransfers(SyncContext& ctx, const WorkingDay& day, const DayStartShown& since,
                                                int parent, long long type, bool top50) {
  const std::string sql = interimTransferListQuery(day, since, parent, type, top50);
  if (sql.empty()) throw db::DbError("Voucher type " + std::to_string(type) + " lists no transfers");
  auto rs = ctx.web().query(sql);
  std::vector<TransferEntry> out;
  for (std::size_t r = 0; r < rs.size(); ++r)
    out.push_back(
        {interimListEntry(rs, r), rs.at(r, "InvID").toInt(), rs.at(r, "Customfield1").toString() == "DOWNLAODED"});
  return out;
}

std::string interimItemsQuery(int parent, long long invId) {
  const std::string R = std::to_string(invId);
  if (parent == 2)
    return "SELECT     tblPurchaseItem.SlNo, tblItemMaster.ItemCode, tblItemMaster.ItemName, "
           "tblPurchaseItem.Qty,tblPurchaseItem.BatchCode FROM         tblPurchaseItem INNER JOIN  tblItemMaster ON "
           "tblPurchaseItem.ItemId = tblItemMaster.ItemID where invID=" +
           R + " ORDER BY tblPurchaseItem.SlNo";
  if (!isJournalParent(parent)) return {};
  // A journal addressed to this branch (16) is the sending branch's voucher: its lines give the stock
  // out there, which is the stock that comes in here.
  const std::string qtyIn = parent == 16 ? "tblStockJournalDetail.QtyOut AS QtyIN" : "tblStockJournalDetail.QtyIN";
  return "SELECT    SLNo, tblItemMaster.ItemCode, tblItemMaster.ItemName, " + qtyIn +
         ", tblStockJournalDetail.BatchCode   FROM  tblItemMaster INNER JOIN tblStockJournalDetail ON "
         "tblItemMaster.ItemID = tblStockJournalDetail.ItemID where invID=" +
         R + " ORDER BY tblStockJournalDetail.SlNo";
}

}  // namespace erpsync::stock
