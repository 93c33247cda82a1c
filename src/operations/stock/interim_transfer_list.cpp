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

namespace {

// The conditions of a type's listing after its VchTypeID: since the day start shown, when it shows one,
// and of this branch (or addressed to it). Columns carry prefix ("v." in a join, "" alone).
std::string listingConditions(const WorkingDay& day, const DayStartShown& since, int parent,
                              const std::string& prefix) {
  const std::string C = std::to_string(day.costCentreId);
  // The day start the page shows (a caption that is not a date: no date filter).
  const auto start = boardRateEntryDate(since.date);
  const std::string D = start ? db::sqlQuote(start->iso().substr(0, 10)) : "";
  const std::string H = db::sqlQuote(since.time);
  const std::string W = db::sqlQuote(day.date.iso().substr(0, 10));
  const std::string& p = prefix;
  switch (parent) {
    case 2:
      return (start ? " and " + p + "StockDate>=" + D + " and " + p + "BillTime>" + H + " and  " + p + "StockDate=" + W
                    : "") +
             " and (" + p + "CCID = " + C + " )";
    case 5:
    case 6:
    case 41:
    case 1005:
      return (start ? " and " + p + "InvDate>=" + D + " and " + p + "BillTime>" + H + " and " + p + "INvDate>=" + W
                    : "") +
             " and (" + p + "CCID = " + C + "  )";
    case 16:
      return (start ? " and " + p + "InvDate>=" + D + " and " + p + "BillTime>" + H : "") + " and (" + p +
             "DestCCID = " + C + "  )";
    default:
      return {};
  }
}

}  // namespace

std::string interimTransferListQuery(const WorkingDay& day, const DayStartShown& since, int parent, long long type,
                                     bool top50) {
  const std::string T = std::to_string(type);
  const std::string head =
      std::string(top50 ? "select  top 50 " : "select  ") + "InvId, InvNo, InvDate,BillTime, Party,Customfield1 From ";
  if (parent == -1) {
    const auto start = boardRateEntryDate(since.date);
    return std::string(
               "SELECT  TOP (1) 0 as InvID,'NONUM' as InvNo,   Vchdate AS InvDate,'' as BillTime,'' as Party, "
               "Customfield1 FROM  tblBoardRateMaster AS tblBoardRateMaster_1 ") +
           (start ? " where  Vchdate>=" + db::sqlQuote(start->iso().substr(0, 10)) : "") + " ORDER BY Vchdate DESC";
  }
  const std::string conditions = listingConditions(day, since, parent, "");
  if (conditions.empty()) return {};
  const std::string table = parent == 2 ? "tblPurchase" : "tblStockJournal";
  return head + table + " Where VchTypeID=" + T + conditions + " oRDER BY InvDate desc";
}

std::string waitingTransfersQuery(const WorkingDay& day, const DayStartShown& since, const std::string& columns) {
  const std::string C = std::to_string(day.costCentreId);
  std::string sql;
  // Purchases, this branch's stock journals, and stock journals addressed to it.
  const std::pair<int, const char*> parts[] = {{2, "= 2"}, {5, "in (5,6)"}, {16, "= 16"}};
  for (const auto& [parent, parents] : parts) {
    sql += std::string(sql.empty() ? "" : " UNION ALL ") +
           "SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1" +
           columns + " FROM " + (parent == 2 ? "tblPurchase" : "tblStockJournal") +
           " v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID " + parents +
           " and isnull(v.Customfield1,'')<>'DOWNLAODED'" + listingConditions(day, since, parent, "v.") +
           // The types whose stock history at head office brings stock here, asked of a waiting voucher's
           // type only: an idle run reads no history at all.
           " and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = " + C +
           " and h.QtyIN > 0)";
  }
  return sql + " ORDER BY VchTypeID, InvDate desc, InvId desc";
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
