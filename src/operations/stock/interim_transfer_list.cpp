// The listing half of the "Stock Transfer" page: the vouchers of a type and the items of one voucher.
#include <fmt/format.h>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/control_fill.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "stock/import_board_rate_updator.h"
#include "stock/import_interim_transfers.h"

namespace erpsync {

namespace {

long long selectedType(SyncContext& ctx) {
  const auto& cbo = ctx.form.cboInterimTransferVchtype;
  return cbo.listIndex() >= 0 ? cbo.itemData(cbo.listIndex()) : 0;
}

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

std::string interimTransferListQuery(SyncContext& ctx, int parent, long long type, bool top50) {
  const auto& f = ctx.form;
  const std::string C = valText(f.lblCostcentre.tag());
  const std::string T = std::to_string(type);
  // The day start the window shows (a caption that is not a date: no date filter).
  const auto day = boardRateEntryDate(f.lblDaystart.caption());
  const std::string D = day ? db::sqlQuote(day->iso().substr(0, 10)) : "";
  const std::string H = db::sqlQuote(f.lblDaystartTime.caption());
  const std::string W = db::sqlQuote(f.dtpdate.value().iso().substr(0, 10));
  const std::string head =
      std::string(top50 ? "select  top 50 " : "select  ") + "InvId, InvNo, InvDate,BillTime, Party,Customfield1 From ";
  switch (parent) {
    case -1:
      return std::string(
                 "SELECT  TOP (1) 0 as InvID,'NONUM' as InvNo,   Vchdate AS InvDate,'' as BillTime,'' as Party, "
                 "Customfield1 FROM  tblBoardRateMaster AS tblBoardRateMaster_1 ") +
             (day ? " where  Vchdate>=" + D : "") + " ORDER BY Vchdate DESC";
    case 2:
      return head + "tblPurchase Where VchTypeID=" + T +
             (day ? " and StockDate>=" + D + " and BillTime>" + H + " and  StockDate=" + W : "") + " and (CCID = " + C +
             " ) oRDER BY InvDate desc";
    case 5:
    case 6:
    case 41:
    case 1005:
      return head + "tblStockJournal Where VchTypeID=" + T +
             (day ? " and InvDate>=" + D + " and BillTime>" + H + " and INvDate>=" + W : "") + " and (CCID = " + C +
             "  ) oRDER BY InvDate desc";
    case 16:
      return head + "tblStockJournal Where VchTypeID=" + T + (day ? " and InvDate>=" + D + " and BillTime>" + H : "") +
             " and (DestCCID = " + C + "  ) oRDER BY InvDate desc";
    default:
      return {};
  }
}

std::string interimListEntry(const db::Recordset& rs, std::size_t r) {
  return rs.at(r, "InvNo").toString() + " - " + dateText(rs.at(r, "InvDate")) + " : " + billTime(rs.at(r, "BillTime")) +
         "/" + rs.at(r, "Customfield1").toString();
}

void fillInterimTransferTypes(SyncContext& ctx) {
  FillControl(
      ctx.form.cboInterimTransferVchtype,
      " SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType FROM     tblStockHistory INNER JOIN  "
      "tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) and CCID "
      "=" +
          valText(ctx.form.lblCostcentre.tag()) + " and (tblStockHistory.qtyIN > 0) ",
      false, false, ctx.WebConnection.get(), ctx.host);
}

void cboInterimTransferVchtype_Change(SyncContext& ctx) {
  auto& f = ctx.form;
  try {
    f.msgInterimItems.setVisible(false);
    const int parent = interimParentType(ctx, selectedType(ctx));
    f.lstTransfer.clear();
    const std::string sql = interimTransferListQuery(ctx, parent, selectedType(ctx), true);
    if (sql.empty()) throw db::DbError("Voucher type " + std::to_string(selectedType(ctx)) + " lists no transfers");
    auto rs = ctx.web().query(sql);
    for (std::size_t r = 0; r < rs.size(); ++r)
      f.lstTransfer.addItem(interimListEntry(rs, r), rs.at(r, "InvID").toInt());
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "cbointerimtransfervchtype_change");
  }
}

void lstTransfer_Click(SyncContext& ctx) {
  auto& f = ctx.form;
  try {
    f.msgInterimItems.setVisible(false);
    const int i = f.lstTransfer.listIndex();
    if (i < 0) return;
    const int parent = interimParentType(ctx, selectedType(ctx));
    const std::string R = std::to_string(f.lstTransfer.items().at(static_cast<std::size_t>(i)).itemData);
    std::string sql;
    if (parent == 2)
      sql =
          "SELECT     tblPurchaseItem.SlNo, tblItemMaster.ItemCode, tblItemMaster.ItemName, "
          "tblPurchaseItem.Qty,tblPurchaseItem.BatchCode FROM         tblPurchaseItem INNER JOIN  tblItemMaster ON "
          "tblPurchaseItem.ItemId = tblItemMaster.ItemID where invID=" +
          R + " ORDER BY tblPurchaseItem.SlNo";
    else if (parent == 5 || parent == 6 || parent == 16 || parent == 41 || parent == 1005)
      sql =
          "SELECT    SLNo, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblStockJournalDetail.QtyIN, "
          "tblStockJournalDetail.QtyOut, tblStockJournalDetail.BatchCode   FROM  tblItemMaster INNER JOIN "
          "tblStockJournalDetail ON tblItemMaster.ItemID = tblStockJournalDetail.ItemID where invID=" +
          R + " ORDER BY tblStockJournalDetail.SlNo";
    if (sql.empty()) return;
    FillControl(f.msgInterimItems, sql, false, false, ctx.WebConnection.get(), ctx.host);
    if (f.msgInterimItems.rows() > 2) f.msgInterimItems.setVisible(true);
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "Lsttransfer_click");
  }
}

}  // namespace erpsync
