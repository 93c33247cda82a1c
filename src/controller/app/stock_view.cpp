// The "Stock Transfer" page: the operator's questions and the page's controls around the stock
// operations, which read head office and write the branch.
#include "app/stock_view.h"

#include <optional>
#include <string>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/control_fill.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"

namespace erpsync {

namespace {

long long selectedType(const MainForm& f) {
  const auto& cbo = f.cboInterimTransferVchtype;
  return cbo.listIndex() >= 0 ? cbo.itemData(cbo.listIndex()) : 0;
}

stock::DayStartShown dayStartShown(const MainForm& f) {
  return {f.lblDaystart.caption(), f.lblDaystartTime.caption()};
}

// "ST-0003 of 05/Dec/2026 from Head Office".
std::string voucherName(const stock::TransferVoucher& v, bool withSender) {
  std::string name = v.invNo + " of " + ddMMMyyyy(v.date);
  if (withSender && !v.sender.empty()) name += " from " + v.sender;
  return name;
}

// The operator's word before an import; false when the import is not to run (out says why).
bool operatorAgrees(SyncContext& ctx, const std::optional<stock::TransferVoucher>& voucher,
                    stock::TransferImportOutcome& out) {
  if (!voucher) {
    return ctx.host.messageBox("Do you want to import this voucher to local database", Buttons::YesNo,
                               Icon::Question) == Answer::Yes;
  }
  if (!voucher->imported) {
    return ctx.host.messageBox("Do you want to import voucher " + voucherName(*voucher, true) + " to local database",
                               Buttons::YesNo, Icon::Question) == Answer::Yes;
  }
  // Imported before: not an error and not a fresh import. Again only on purpose; it replaces the first.
  if (ctx.host.messageBox("Voucher " + voucherName(*voucher, true) +
                              " is already imported at this branch.\r\nDo you want to import it again, in place of "
                              "the earlier import?",
                          Buttons::YesNo, Icon::Question, {}, Answer::No) == Answer::Yes)
    return true;
  out.alreadyImported = true;
  ctx.status().status("Voucher " + voucherName(*voucher, false) +
                      " is already imported at this branch; nothing "
                      "was changed.");
  return false;
}

}  // namespace

void fillInterimTransferTypes(SyncContext& ctx) {
  FillControl(ctx.form.cboInterimTransferVchtype, stock::interimTransferTypesQuery(ctx.day()), false, false,
              ctx.WebConnection.get(), ctx.host);
}

void cboInterimTransferVchtype_Change(SyncContext& ctx) {
  auto& f = ctx.form;
  try {
    f.msgInterimItems.setVisible(false);
    const long long type = selectedType(f);
    const int parent = stock::interimParentType(ctx, type);
    f.lstTransfer.clear();
    for (const auto& e : stock::listInterimTransfers(ctx, ctx.day(), dayStartShown(f), parent, type))
      f.lstTransfer.addItem(e.text, e.invId);
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
    const int parent = stock::interimParentType(ctx, selectedType(f));
    const std::string sql =
        stock::interimItemsQuery(parent, f.lstTransfer.items().at(static_cast<std::size_t>(i)).itemData);
    if (sql.empty()) return;
    FillControl(f.msgInterimItems, sql, false, false, ctx.WebConnection.get(), ctx.host);
    if (f.msgInterimItems.rows() > 2) f.msgInterimItems.setVisible(true);
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "Lsttransfer_click");
  }
}

stock::TransferImportOutcome cmdImportInterimtransfers_Click(SyncContext& ctx) {
  auto& f = ctx.form;
  stock::TransferImportOutcome out;
  const bool automatic = f.chkAutoSynchInterimStockTransfer.value() == 1;
  const int i = f.lstTransfer.listIndex();
  if (i < 0 || i >= f.lstTransfer.listCount()) {
    ctx.host.messageBox("PLease choose a voucher to transfer", Buttons::OK, Icon::Critical);
    return out;
  }
  const auto& entry = f.lstTransfer.items()[static_cast<std::size_t>(i)];
  const stock::TransferImportRequest request{selectedType(f), entry.itemData,
                                             f.cboInterimTransferVchtype.text() == "BoardRateUpdator", entry.text};
  std::optional<stock::TransferVoucher> voucher;
  if (!request.boardRates) {
    try {
      voucher = stock::describeInterimTransfer(ctx, request.vchTypeId, request.invId);
    } catch (const db::DbError& e) {
      ctx.notice(e.description() + "cmdImportInterimtransfers_click");
      out.failed = true;
      return out;
    }
  }
  if (!automatic && !operatorAgrees(ctx, voucher, out)) return out;

  f.cmdImportInterimtransfers.setEnabled(false);
  out = stock::importInterimTransfer(ctx, ctx.day(), request);
  f.cmdImportInterimtransfers.setEnabled(true);
  if (!out.busy && !out.failed && !automatic) {
    if (out.replaced && voucher)
      ctx.status().status("Voucher " + voucherName(*voucher, false) +
                          " imported again in place of its earlier "
                          "import: " +
                          std::to_string(out.lines) + " stock lines.");
    else
      ctx.status().status("Done");
    cboInterimTransferVchtype_Change(ctx);
  }
  return out;
}

stock::AutoTransferOutcome runInterimTransfersUnattended(SyncContext& ctx) {
  auto& f = ctx.form;
  f.cmdImportInterimtransfers.setEnabled(false);
  auto out = stock::AutoSynchInterimStockTransfer(ctx, dayStartShown(f));
  f.cmdImportInterimtransfers.setEnabled(true);
  for (const auto& e : out.taken) f.lstTransfer.addItem(e.text, e.invId);
  if (out.completed && f.cboInterimTransferVchtype.listIndex() >= 0) cboInterimTransferVchtype_Change(ctx);
  return out;
}

}  // namespace erpsync
