// The "Stock Transfer" page: the operator's questions and the page's controls around the stock
// operations, which read head office and write the branch.
#include "app/stock_view.h"

#include <optional>
#include <string>

#include "db/connection.h"
#include "stock/import_transfer_asked.h"
#include "form/main_form.h"
#include "shared/control_fill.h"
#include "shared/date_text.h"
#include "app/window_context.h"

namespace erpsync {

namespace {

long long selectedType(const MainForm& f) {
  const auto& cbo = f.cboInterimTransferVchtype;
  return cbo.listIndex() >= 0 ? cbo.itemData(cbo.listIndex()) : 0;
}

stock::DayStartShown dayStartShown(const MainForm& f) {
  return {f.lblDaystart.caption(), f.lblDaystartTime.caption()};
}

}  // namespace

void fillInterimTransferTypes(WindowContext& ctx) {
  FillControl(ctx.form.cboInterimTransferVchtype, stock::interimTransferTypesQuery(ctx.day()), false, false,
              ctx.WebConnection.get(), ctx.host);
}

void onTransferTypeChosen(WindowContext& ctx) {
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

void onTransferChosen(WindowContext& ctx) {
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

stock::TransferImportOutcome onImportTransfer(WindowContext& ctx) {
  auto& f = ctx.form;
  const bool automatic = f.chkAutoSynchInterimStockTransfer.value() == 1;
  const int i = f.lstTransfer.listIndex();
  if (i < 0 || i >= f.lstTransfer.listCount()) {
    ctx.host.messageBox("PLease choose a voucher to transfer", Buttons::OK, Icon::Critical);
    return {};
  }
  const auto& entry = f.lstTransfer.items()[static_cast<std::size_t>(i)];
  const stock::TransferImportRequest request{selectedType(f), entry.itemData,
                                             f.cboInterimTransferVchtype.text() == "BoardRateUpdator", entry.text};
  f.cmdImportInterimtransfers.setEnabled(false);
  const stock::TransferImportOutcome out = stock::importTransferAsked(ctx, ctx.day(), request, automatic);
  f.cmdImportInterimtransfers.setEnabled(true);
  if (!out.busy && !out.failed && !automatic && (out.imported || out.replaced)) onTransferTypeChosen(ctx);
  return out;
}

void showTransfersTaken(WindowContext& ctx, const stock::AutoTransferOutcome& out) {
  auto& f = ctx.form;
  for (const auto& e : out.taken) f.lstTransfer.addItem(e.text, e.invId);
  // Only a run that brought something changes the list: an idle pass asks head office nothing more.
  if (out.completed && out.imported > 0 && f.cboInterimTransferVchtype.listIndex() >= 0) onTransferTypeChosen(ctx);
}

stock::AutoTransferOutcome runInterimTransfersUnattended(WindowContext& ctx) {
  auto& f = ctx.form;
  f.cmdImportInterimtransfers.setEnabled(false);
  auto out = stock::importWaitingTransfers(ctx, dayStartShown(f));
  f.cmdImportInterimtransfers.setEnabled(true);
  showTransfersTaken(ctx, out);
  return out;
}

}  // namespace erpsync
