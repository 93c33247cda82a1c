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

std::string voucherRow(long mainId, long trId, int vchType, const DateTime& date, long dr, long cr,
                       const std::string& particulars, const std::string& narration, double debit, double credit,
                       const std::string& userNarration, long salesman, long optional, long ccid, long currency,
                       double conversion, int reconciled) {
  return "insert into  tblvoucher (MainID,TrID,TrType,VchTypeID,TrDate,DrLID,CrLID,Particulars,Narration,AmountD,"
         "AmountC,USerNarration,SortOrder,SalesManID,Optional,CCID,currencyID,Conversion,Reconciled)values(" +
         std::to_string(mainId) + "," + std::to_string(trId) + ",''," + std::to_string(vchType) + "," +
         dateLit(date.dateOnly()) + "," + std::to_string(dr) + "," + std::to_string(cr) + "," +
         db::sqlQuote(particulars) + "," + db::sqlQuote(narration) + "," + num(debit) + "," + num(credit) + "," +
         db::sqlQuote(userNarration) + ",0," + std::to_string(salesman) + "," + std::to_string(optional) + "," +
         std::to_string(ccid) + "," + std::to_string(currency) + "," + num(conversion) + "," +
         std::to_string(reconciled) + ")";
}

// The next number of a column of tblvoucher (1 when there is none).
long nextNumber(db::Connection& c, const std::string& sql) {
  auto rs = c.query(sql);
  if (rs.empty() || rs.at(0, "id").isNull()) return 1;
  return static_cast<long>(rs.at(0, "id").toInt());
}

}  // namespace

long PostVoucher(SyncContext& ctx, int vchType, const DateTime& date, long drLedger, long crLedger,
                 const std::string& particulars, const std::string& narration, double& amount,
                 const std::string& userNarration, long& salesman, long optional, long ccid, long& currency,
                 double& conversion, std::optional<long> secondCcid, Txn txn) {
  if (amount == 0) return -1;
  if (vchType == 0) {
    ctx.host.messageBox("Voucher type not identified. Please re open the window", Buttons::OK, Icon::Critical);
    return 0;
  }
  const int places = amountPlaces(ctx.erpSettings.AmountFormat);
  if (places >= 0) amount = roundTo(amount, places);
  if (salesman == 0) salesman = 1;
  if (currency == 0) currency = 1;
  if (conversion == 0) conversion = 1;
  double particularsValue = 0;
  if (!particularsNumber(particulars, particularsValue) || particularsValue == 0) {
    ctx.host.messageBox("voucher save aborted. ");
    return 0;
  }
  try {
    auto& local = ctx.local();
    // Both rows of the entry, or neither: the ledger never holds one side alone.
    std::unique_ptr<db::Transaction> own;
    if (txn == Txn::Own) own = std::make_unique<db::Transaction>(local);
    const long trId = nextNumber(local, "select max(trid)+1 as id from tblvoucher where trtype=''");
    const long mainId = nextNumber(local, "select max(Mainid)+1 as id from tblvoucher ");
    const long secondCc = secondCcid.value_or(ccid);
    local.execute(voucherRow(mainId, trId, vchType, date, drLedger, crLedger, particulars, narration, amount, 0,
                             userNarration, salesman, optional, ccid, currency, conversion, 0));
    local.execute(voucherRow(mainId, trId, vchType, date, crLedger, drLedger, particulars, narration, 0, amount,
                             userNarration, salesman, optional, secondCc, currency, conversion, 1));
    if (own) own->commit();
    return mainId;
  } catch (const std::exception& e) {
    const auto* dbe = dynamic_cast<const db::DbError*>(&e);
    ctx.host.messageBox(dbe ? dbe->description() : e.what());
  }
  return 0;
}

}  // namespace erpsync::stock
