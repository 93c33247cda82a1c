// Voucher posting: one double entry of the ledger into the branch company database, both rows or none.
#include "stock/post_voucher.h"

#include <algorithm>
#include <memory>

#include "db/connection.h"
#include "form/host.h"
#include "shared/sync_context.h"
#include "stock/stock_text.h"
#include "util/text.h"

namespace erpsync::stock {

namespace {

// The particulars must hold a number: true with its value, false when the text is not one.
bool particularsNumber(const std::string& text, double& value) {
  const std::string t = text::trim(text, text::kWhitespace);
  if (t.empty()) return false;
  std::size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  bool digits = false, dot = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9')
      digits = true;
    else if (t[i] == '.' && !dot)
      dot = true;
    else
      return false;
  }
  if (!digits) return false;
  value = db::leadingNumber(t);
  return true;
}

// Decimal places of the ERP's amount format ("#0.00" -> 2); -1 when no format is loaded.
int amountPlaces(const std::string& format) {
  if (format.empty()) return -1;
  const auto dot = format.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(std::min<std::size_t>(format.size() - dot - 1, 15));
}

// One row of the entry: first (dr and cr as given, the amount debited) or second (swapped, credited).
std::string voucherRow(const VoucherEntry& e, long mainId, long trId, bool second) {
  const long dr = second ? e.crLedger : e.drLedger;
  const long cr = second ? e.drLedger : e.crLedger;
  const long ccid = second ? e.secondCcid.value_or(e.ccid) : e.ccid;
  return "insert into  tblvoucher (MainID,TrID,TrType,VchTypeID,TrDate,DrLID,CrLID,Particulars,Narration,AmountD,"
         "AmountC,USerNarration,SortOrder,SalesManID,Optional,CCID,currencyID,Conversion,Reconciled)values(" +
         std::to_string(mainId) + "," + std::to_string(trId) + ",''," + std::to_string(e.vchType) + "," +
         dateLit(e.date.dateOnly()) + "," + std::to_string(dr) + "," + std::to_string(cr) + "," +
         db::sqlQuote(e.particulars) + "," + db::sqlQuote(e.narration) + "," + num(second ? 0.0 : e.amount) + "," +
         num(second ? e.amount : 0.0) + "," + db::sqlQuote(e.userNarration) + ",0," + std::to_string(e.salesman) + "," +
         std::to_string(e.optional) + "," + std::to_string(ccid) + "," + std::to_string(e.currency) + "," +
         num(e.conversion) + "," + std::to_string(second ? 1 : 0) + ")";
}

// The next number of a column of tblvoucher (1 when there is none).
long nextNumber(db::Connection& c, const std::string& sql) {
  auto rs = c.query(sql);
  if (rs.empty() || rs.at(0, "id").isNull()) return 1;
  return static_cast<long>(rs.at(0, "id").toInt());
}

}  // namespace

long PostVoucher(SyncContext& ctx, VoucherEntry& e) {
  if (e.amount == 0) return -1;
  if (e.vchType == 0) {
    ctx.host.messageBox("Voucher type not identified. Please re open the window", Buttons::OK, Icon::Critical);
    return 0;
  }
  const int places = amountPlaces(ctx.erpSettings.AmountFormat);
  if (places >= 0) e.amount = roundTo(e.amount, places);
  if (e.salesman == 0) e.salesman = 1;
  if (e.currency == 0) e.currency = 1;
  if (e.conversion == 0) e.conversion = 1;
  double particularsValue = 0;
  if (!particularsNumber(e.particulars, particularsValue) || particularsValue == 0) {
    ctx.host.messageBox("voucher save aborted. ");
    return 0;
  }
  try {
    auto& local = ctx.local();
    // Both rows of the entry, or neither: the ledger never holds one side alone.
    std::unique_ptr<db::Transaction> own;
    if (e.txn == Txn::Own) own = std::make_unique<db::Transaction>(local);
    const long trId = nextNumber(local, "select max(trid)+1 as id from tblvoucher where trtype=''");
    const long mainId = nextNumber(local, "select max(Mainid)+1 as id from tblvoucher ");
    local.execute(voucherRow(e, mainId, trId, false));
    local.execute(voucherRow(e, mainId, trId, true));
    if (own) own->commit();
    return mainId;
  } catch (const std::exception& ex) {
    const auto* dbe = dynamic_cast<const db::DbError*>(&ex);
    ctx.host.messageBox(dbe ? dbe->description() : ex.what());
  }
  return 0;
}

}  // namespace erpsync::stock
