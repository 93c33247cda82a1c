// One head-office voucher imported at the operator's word (see import_transfer_asked.h).
#include "stock/import_transfer_asked.h"

#include <optional>

#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"

namespace erpsync::stock {

namespace {

// The operator's word before an import; false when the import is not to run (out says why).
bool operatorAgrees(SyncContext& ctx, const std::optional<TransferVoucher>& voucher, TransferImportOutcome& out) {
  if (!voucher) {
    return ctx.host.messageBox("Do you want to import this voucher to local database", Buttons::YesNo,
                               Icon::Question) == Answer::Yes;
  }
  if (!voucher->imported) {
    return ctx.host.messageBox("Do you want to import voucher " + transferVoucherName(*voucher, true) +
                                   " to local database",
                               Buttons::YesNo, Icon::Question) == Answer::Yes;
  }
  // Imported before: not an error and not a fresh import. Again only on purpose; it replaces the first.
  if (ctx.host.messageBox("Voucher " + transferVoucherName(*voucher, true) +
                              " is already imported at this branch.\r\nDo you want to import it again, in place of "
                              "the earlier import?",
                          Buttons::YesNo, Icon::Question, {}, Answer::No) == Answer::Yes)
    return true;
  out.alreadyImported = true;
  ctx.status().status("Voucher " + transferVoucherName(*voucher, false) +
                      " is already imported at this branch; nothing was changed.");
  return false;
}

}  // namespace

std::string transferVoucherName(const TransferVoucher& v, bool withSender) {
  std::string name = v.invNo + " of " + ddMMMyyyy(v.date);
  if (withSender && !v.sender.empty()) name += " from " + v.sender;
  return name;
}

TransferImportOutcome importTransferAsked(SyncContext& ctx, const WorkingDay& day, const TransferImportRequest& request,
                                          bool unattended) {
  TransferImportOutcome out;
  std::optional<TransferVoucher> voucher;
  if (!request.boardRates) {
    try {
      voucher = describeInterimTransfer(ctx, request.vchTypeId, request.invId);
    } catch (const db::DbError& e) {
      ctx.notice(e.description() + "cmdImportInterimtransfers_click");
      out.failed = true;
      return out;
    }
  }
  if (!unattended && !operatorAgrees(ctx, voucher, out)) return out;
  out = importInterimTransfer(ctx, day, request);
  if (!out.busy && !out.failed && !unattended) {
    if (out.replaced && voucher)
      ctx.status().status("Voucher " + transferVoucherName(*voucher, false) + " imported again in place of its earlier "
                          "import: " + std::to_string(out.lines) + " stock lines.");
    else
      ctx.status().status("Done");
  }
  return out;
}

}  // namespace erpsync::stock
