// Stock posting: one stock line of a voucher into the branch company database, as the ERP posts it.
#include "stock/post_stock.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "db/connection.h"
#include "db/recordset.h"
#include "form/host.h"
#include "shared/sync_context.h"
#include "stock/stock_book.h"
#include "stock/stock_text.h"
#include "util/text.h"

namespace erpsync::stock {

namespace {

// How many times an owned batch code is replaced by a generated one before the line is given up (a
// generated code that is itself owned by another item would otherwise be replaced for ever).
constexpr int kBatchCodeReplacements = 10;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The movement figures of one line: what comes in, what goes out.
struct Movement {
  double qty = 0, qtyAU = 0, qtyAU2 = 0, weight = 0, free = 0, pvalue = 0, svalue = 0, mrpValue = 0;
};

// One posting: the statements of a line, each through the error ladder the ERP's routine applies.
class Posting {
 public:
  Posting(SyncContext& ctx, const StockPosting& p, StockLine& line)
      : ctx_(ctx),
        s_(ctx.erpSettings),
        vchType_(p.vchType),
        refId_(p.refId),
        adnl_(p.adnlRefId),
        l_(line),
        date_(p.vchDate),
        book_(p.txn == Txn::Callers ? p.book : nullptr) {}

  bool post(int mode, bool updateItemRates, bool clearLine);

 private:
  enum class Outcome { Done, Skipped, Failed };
  enum class Action { Retry, Skip, Fail };

  // Runs the statement build() gives until it succeeds or the error ladder says otherwise; the
  // statement is built again for a retry (it may carry the batch number that was raised).
  Outcome run(const std::function<std::string()>& build, long long* affected = nullptr);
  Action onError(const db::DbError& e);

  bool findOrCreateStockRow(int sign);
  bool createStockRow(int sign);
  Outcome updateBatchRow(long long& affected);
  bool resolveBatchCode();
  // The book while it still knows tblStock, else null.
  StockBook* book() const { return book_ && book_->valid() ? book_ : nullptr; }
  long long nextAbsBatchId();
  void computeBatchUnique();
  std::string stockInsert(int sign) const;
  std::string historyInsert() const;
  std::string ratesList() const;
  bool writeRatesAndSerials(int mode);
  void clearLineFields();

  SyncContext& ctx_;
  const ErpSettings& s_;
  int vchType_;
  long refId_;
  std::string adnl_;
  StockLine& l_;
  DateTime date_;
  Movement in_, out_;
  long long stockId_ = 0;
  long long batchId_ = 0;
  int indexRetries_ = 0;
  StockBook* book_ = nullptr;
};

Posting::Action Posting::onError(const db::DbError& e) {
  const std::string& d = e.description();
  ctx_.host.messageBox(d);
  if ((contains(d, "CIDX_tblStock") || contains(d, "IX_tblStock_BatchCode_mainIndex")) &&
      indexRetries_ < kBatchIndexRetries) {
    // Another batch took this number meanwhile: take the next one and write the row again. Numbers
    // of batches with codes are negative, so "next" grows the magnitude.
    ++indexRetries_;
    batchId_ += batchId_ < 0 ? -1 : 1;
    return Action::Retry;
  }
  if (contains(d, "more than once")) return Action::Skip;
  if (contains(d, "UNIQUE KEY") && s_.BLNBATCHCODE) {
    ctx_.host.messageBox(
        "Batch Code the repeated (you may have entered same batch code for another item. Please check for a valid "
        "batch Number",
        Buttons::OK, Icon::Exclamation);
    return Action::Fail;
  }
  if (contains(text::upper(d), "IX_TBLSTOCK") && s_.BLNBATCHCODE) {
    // The ERP offers an automatic code here but keeps the line as it is; so do we.
    const std::string fraction = std::to_string(static_cast<unsigned>(std::rand()) % 100000u);
    ctx_.host.messageBox("unable to assign batchcode you have provided. changing to auto batch code" +
                             std::string("BATCHCODE") + std::to_string(l_.ItemID) + fraction + std::to_string(stockId_),
                         Buttons::OK, Icon::Information, "IX_tblStock");
  }
  ctx_.host.messageBox(d, Buttons::OK, Icon::Exclamation);
  return Action::Fail;
}

Posting::Outcome Posting::run(const std::function<std::string()>& build, long long* affected) {
  for (;;) {
    try {
      const long long n = ctx_.local().execute(build());
      if (affected) *affected = n;
      return Outcome::Done;
    } catch (const db::DbError& e) {
      switch (onError(e)) {
        case Action::Retry:
          continue;
        case Action::Skip:
          return Outcome::Skipped;
        case Action::Fail:
          return Outcome::Failed;
      }
    }
  }
}

void Posting::computeBatchUnique() {
  l_.BatchUnique = l_.BatchCode;
  if (!s_.BLNMultiBatchRates) return;
  l_.BatchUnique += "@" + fixedText(l_.MRP, 2);
  if (l_.BlnExpiryItem) {
    const auto& x = l_.Expiry;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", x.day, x.month, x.year % 100);
    l_.BatchUnique += "@" + std::string(buf);
  }
}

// A batch code another item already uses is replaced by a generated one when the operator agrees.
// False when the operator declines (or the owner cannot be read).
bool Posting::resolveBatchCode() {
  for (int replaced = 0;; ++replaced) {
    l_.BatchCode = BaseBatchCode(l_.BatchCode);
    computeBatchUnique();
    db::Recordset owner;
    try {
      owner = ctx_.local().query(
          "Select tblItemMaster.ItemID,ItemName,ItemCode from tblStock,tblItemMaster where "
          "tblStock.ItemID=tblItemMaster.ItemID and BatchCode=" +
          db::sqlQuote(l_.BatchCode) + " and tblItemMaster.Itemid<>" + std::to_string(l_.ItemID));
    } catch (const db::DbError& e) {
      if (onError(e) == Action::Skip) return true;
      return false;
    }
    if (owner.empty()) return true;
    if (replaced >= kBatchCodeReplacements) {
      ctx_.host.messageBox("No free batch code found for item " + std::to_string(l_.ItemID), Buttons::OK,
                           Icon::Exclamation);
      return false;
    }
    const Answer a =
        ctx_.host.messageBox("The batchCode " + l_.BatchCode + " is already used for another Item " +
                                 owner.at(0, "ItemCode").toString() + "-" + owner.at(0, "Itemname").toString() +
                                 " (Manufacturer BarCode). Do you want to auto assign next batch code ",
                             Buttons::YesNo, Icon::Question, {}, Answer::No);
    if (a != Answer::Yes) return false;
    l_.BatchCode = MakeBatchCode(ctx_, std::to_string(nextAbsBatchId() + 1), date_);
  }
}

std::string Posting::ratesList() const {
  return num(l_.PRate) + "," + num(l_.SRate) + "," + num(l_.CRate) + "," + num(l_.MRP) + "," + num(l_.PRateAU) + "," +
         num(l_.SRateAU) + "," + num(l_.CRateAU) + "," + num(l_.MRPAU) + "," + num(l_.PRateAU2) + "," +
         num(l_.SRateAU2) + "," + num(l_.CRateAU2) + "," + num(l_.MRPAU2);
}

std::string Posting::stockInsert(int sign) const {
  return "insert into tblStock (StockId, ItemID,BAtch,Expiry,  Qty,QtyAu,QtyAu2,pRate,SRate,Mrp,BatchCode,batchID,CCID,"
         "Weight,CRate,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SupplierID,GodownID,"
         "BatchUnique) values ( " +
         num(stockId_) + "," + std::to_string(l_.ItemID) + "," + db::sqlQuote(std::to_string(stockId_)) + "," +
         dateLit(l_.Expiry) + "," + num(sign * l_.Qty) + "," + num(sign * l_.QtyAU) + "," + num(sign * l_.QtyAU2) +
         "," + num(l_.PRate) + "," + num(l_.SRate) + "," + num(l_.MRP) + "," + db::sqlQuote(text::trim(l_.BatchCode)) +
         "," + num(batchId_) + "," + std::to_string(l_.CCID) + "," + num(l_.Weight) + "," + num(l_.CRate) + "," +
         num(l_.PRateAU) + "," + num(l_.SRateAU) + "," + num(l_.CRateAU) + "," + num(l_.MRPAU) + "," +
         num(l_.PRateAU2) + "," + num(l_.SRateAU2) + "," + num(l_.CRateAU2) + "," + num(l_.MRPAU2) + "," +
         std::to_string(l_.SupplierID) + "," + std::to_string(l_.GodownID) + "," + db::sqlQuote(l_.BatchUnique) + ")";
}

// max(ABS(BatchID)) + 1 as NextId gives it (0 after an error it has shown).
long long Posting::nextAbsBatchId() {
  if (StockBook* b = book()) return b->nextAbsBatchId();
  return NextId(ctx_, "tblStock", "ABS(BatchID)").value_or(0);
}

// The update of the batch row of a line held in named batches; affected: the rows it found. The book,
// when there is one, names the rows the server can find: none, and there is nothing to send; some, and
// the update is confined to them, so the server reads those rows instead of every batch of the branch.
Posting::Outcome Posting::updateBatchRow(long long& affected) {
  const bool byUnique = s_.BLNMultiBatchRates;
  std::optional<std::vector<long long>> rows;
  if (StockBook* b = book()) rows = b->candidates(byUnique, byUnique ? l_.BatchUnique : l_.BatchCode, l_.CCID);
  if (rows && rows->empty()) {
    affected = 0;
    return Outcome::Done;
  }
  return run(
      [&] {
        std::string sql = "update tblstock set GodownID=" + std::to_string(l_.GodownID) +
                          " ,Itemid=" + std::to_string(l_.ItemID) + ",SupplierID=" + std::to_string(l_.SupplierID) +
                          ", Expiry=" + dateLit(l_.Expiry) + ", Prate=" + num(l_.PRate) + "  , Mrp = " + num(l_.MRP) +
                          ", Srate=" + num(l_.SRate) + " ,Crate=" + num(l_.CRate) + ",PrateAU=" + num(l_.PRateAU) +
                          ",SrateAU=" + num(l_.SRateAU) + ",CRateAU=" + num(l_.CRateAU) + ",MRPAU=" + num(l_.MRPAU) +
                          ",PrateAU2=" + num(l_.PRateAU2) + ",SrateAU2=" + num(l_.SRateAU2) +
                          ",CRateAU2=" + num(l_.CRateAU2) + ",MRPAU2=" + num(l_.MRPAU2) + "  where ";
        if (rows) {
          std::string ids;
          for (long long id : *rows) ids += (ids.empty() ? "" : ",") + std::to_string(id);
          sql += "StockID in (" + ids + ") and ";
        }
        if (byUnique)
          sql += "Rtrim(Ltrim(BatchUnique)) = " + db::sqlQuote(l_.BatchUnique);
        else
          sql += "Rtrim(Ltrim(BatchCode)) = " + db::sqlQuote(l_.BatchCode);
        return sql + "  And CCid = " + std::to_string(l_.CCID);
      },
      &affected);
}

// Finds the line's stock row and rewrites its rates (never its quantity), or creates it.
bool Posting::findOrCreateStockRow(int sign) {
  long long affected = 0;
  Outcome o;
  if (!s_.BLNBATCHCODE) {
    o = run(
        [&] {
          return "update tblstock set qty=qty,Weight=Weight+" + num(sign * l_.Weight) + ",Prate=" + num(l_.PRate) +
                 "  , Mrp = " + num(l_.MRP) + ",Srate=" + num(l_.SRate) + ",Crate=" + num(l_.CRate) +
                 ",PrateAU=" + num(l_.PRateAU) + ",SrateAU=" + num(l_.SRateAU) + ",CRateAU=" + num(l_.CRateAU) +
                 ",MRPAU=" + num(l_.MRPAU) + ",PrateAU2=" + num(l_.PRateAU2) + ",CRateAU2=" + num(l_.CRateAU2) +
                 ",SRateAU2=" + num(l_.SRateAU2) + ",MRPAU2 =" + num(l_.MRPAU2) +
                 "  where CCID=" + std::to_string(l_.CCID) + " and Itemid=" + std::to_string(l_.ItemID);
        },
        &affected);
    l_.BatchUnique = l_.BatchCode;
  } else {
    if (!resolveBatchCode()) return false;
    o = updateBatchRow(affected);
  }
  if (o == Outcome::Failed) return false;
  if (affected != 0) return true;
  return createStockRow(sign);
}

// A new batch row for the line, numbered after the largest StockID and batch number.
bool Posting::createStockRow(int sign) {
  StockBook* b = book();
  auto sid = b ? std::optional<long long>(b->nextStockId()) : NextId(ctx_, "tblStock", "StockID");
  if (!sid) return false;  // a row numbered 0 would clash with the next failure's row
  stockId_ = *sid;
  if (s_.BLNBATCHCODE) {
    batchId_ = -(b ? b->nextAbsBatchId() : NextId(ctx_, "tblStock", "ABS(BatchID)").value_or(1));
  } else {
    batchId_ = stockId_;
    l_.BatchCode = "BATCHCODE" + std::to_string(stockId_);
  }
  computeBatchUnique();
  const Outcome inserted = run([&] { return stockInsert(sign); });
  if (inserted == Outcome::Failed) return false;
  if (b) {
    if (inserted == Outcome::Done)
      b->added(stockId_, batchId_, text::trim(l_.BatchCode), l_.BatchUnique, l_.CCID);
    else
      b->forget();  // an error the ladder steps over: whether the row is there is not known
  }
  if (l_.VRate > 0 && run([&] {
                        return " Update tblStock set Vrate=" + db::sqlQuote(num(l_.VRate)) +
                               "  where StockID=" + num(stockId_);
                      }) == Outcome::Failed)
    return false;
  return true;
}

std::string Posting::historyInsert() const {
  const std::string batch = db::sqlQuote(text::trim(l_.BatchCode));
  return "insert into tblstockHistory(StockHisId,VchDate,  VchTypeID ,RefId   ,AdnlRefID   ,ItemID  ,QtyIN,QtyINAU,"
         "QtyINAU2,   QtyOut,QtyOutAU,QtyOutAU2,BAtch,expiry  ,PvalueIN    ,PvalueOut   ,SValueIN    ,SValueOut,"
         "MrpValueIN,MrpValueOut,FreeQtyIn,FreeQtyOut,BatchCode,CCID,WeightIn,WeightOut,Prate,Srate,CRate,MRP,PrateAU,"
         "SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SHSupplierID,GodownID,BatchUnique) values( 0," +
         dateLit(date_.dateOnly()) + "," + db::sqlQuote(std::to_string(vchType_)) + "," + std::to_string(refId_) + "," +
         db::sqlQuote(adnl_) + "," + std::to_string(l_.ItemID) + "," + num(in_.qty) + "," + num(in_.qtyAU) + "," +
         num(in_.qtyAU2) + "," + num(out_.qty) + "," + num(out_.qtyAU) + "," + num(out_.qtyAU2) + "," + batch + "," +
         dateLit(l_.Expiry) + "," + num(in_.pvalue) + "," + num(out_.pvalue) + "," + num(in_.svalue) + "," +
         num(out_.svalue) + "," + num(in_.mrpValue) + "," + num(out_.mrpValue) + "," + num(in_.free) + "," +
         num(out_.free) + "," + batch + "," + std::to_string(l_.CCID) + "," + num(in_.weight) + "," + num(out_.weight) +
         "," + ratesList() + "," + std::to_string(l_.SupplierID) + "," + std::to_string(l_.GodownID) + "," +
         db::sqlQuote(l_.BatchUnique) + ")";
}

// The purchase rate of a line that brings stock in, and the serial numbers of the line.
bool Posting::writeRatesAndSerials(int mode) {
  if (in_.qty > 0) {
    if (l_.CRate == 0) l_.CRate = l_.PRate;
    if (l_.VRate > 0) l_.PRate = l_.VRate;
    if (run([&] {
          return " insert into tblItemRates(ItemID,Vchdate,VchTypeID,RefID,Qty,Prate,Crate,SRate,MRP,CCID) values (" +
                 std::to_string(l_.ItemID) + "," + dateLit(date_.dateOnly()) + "," +
                 db::sqlQuote(std::to_string(vchType_)) + "," + std::to_string(refId_) + "," + num(in_.qty) + "," +
                 num(l_.PRate) + "," + num(l_.CRate) + "," + num(l_.SRate) + "," + num(l_.MRP) + "," +
                 std::to_string(l_.CCID) + ")";
        }) == Outcome::Failed)
      return false;
  }

  // Every serial number but the last element is written (the ERP keeps a blank entry at the end).
  const int serialIn = mode == kStockIn ? 1 : 0;
  for (std::size_t i = 0; i + 1 < l_.SerialNos.size(); ++i) {
    if (run([&] {
          return "insert into tblStockHistorySerialNo(StkHisID,VchTypeID,RefId,SerialNo,QtyIN,QtyOut,ItemID,CCID) "
                 "values(0," +
                 db::sqlQuote(std::to_string(vchType_)) + "," + std::to_string(refId_) + "," +
                 db::sqlQuote(l_.SerialNos[i]) + "," + std::to_string(serialIn) + "," + std::to_string(1 - serialIn) +
                 "," + std::to_string(l_.ItemID) + "," + std::to_string(l_.CCID) + ")";
        }) == Outcome::Failed)
      return false;
  }
  return true;
}

void Posting::clearLineFields() {
  l_.Qty = 0;
  l_.ItemID = 0;
  l_.PRate = l_.SRate = l_.CRate = l_.MRP = 0;
  l_.PRateAU = l_.SRateAU = l_.CRateAU = l_.MRPAU = 0;
  l_.PRateAU2 = l_.SRateAU2 = l_.CRateAU2 = l_.MRPAU2 = 0;
  l_.VRate = l_.Weight = l_.FreeQty = 0;
  l_.SupplierID = 0;
  l_.LineText = "0";
}

bool Posting::post(int mode, bool updateItemRates, bool clearLine) {
  if (mode != kDeleteMovements && l_.CCID == 0) l_.CCID = 1;
  if (vchType_ == 0) {
    ctx_.host.messageBox("Voucher type not identified. Please re open the window", Buttons::OK, Icon::Critical);
    return false;
  }
  if (l_.CRate == 0) l_.CRate = l_.PRate;
  if (l_.CRateAU == 0) l_.CRateAU = l_.PRateAU;
  if (l_.CRateAU2 == 0) l_.CRateAU2 = l_.PRateAU2;
  if (l_.CCID == 0) l_.CCID = 1;
  if (mode != kDeleteMovements && l_.ItemID == 0) {
    ctx_.host.messageBox("Item ID Missing", Buttons::OK, Icon::Exclamation);
    return false;
  }
  l_.Expiry = l_.Expiry.dateOnly();
  const int sign = mode == kStockIn ? 1 : -1;
  l_.BatchCode = text::trim(l_.BatchCode, " ");

  if (mode == kStockIn || mode == kStockOut) {
    if (!s_.BLNBATCHCODE) l_.BatchCode = "BATCHCODE" + std::to_string(l_.ItemID);
    if (!s_.BLNEXPIRY) l_.Expiry = ctx_.clock.now().dateOnly();
    Movement& m = mode == kStockIn ? in_ : out_;
    m = Movement{l_.Qty,     l_.QtyAU,          l_.QtyAU2,         l_.Weight,
                 l_.FreeQty, l_.Qty * l_.PRate, l_.Qty * l_.SRate, l_.Qty * l_.MRP};

    if (!findOrCreateStockRow(sign)) return false;

    const double moved = in_.qty + in_.qtyAU + in_.qtyAU2 + out_.qty + out_.qtyAU + out_.qtyAU2;
    if (moved != 0 && run([&] { return historyInsert(); }) == Outcome::Failed) return false;

    if (!writeRatesAndSerials(mode)) return false;
  }

  if (mode == kDeleteMovements) {
    const std::string where = std::to_string(vchType_) + " and refid=" + std::to_string(refId_);
    std::string history = "delete from tblstockHistory where  vchtypeid=" + where;
    if (!adnl_.empty()) history += " and adnlrefID=" + db::sqlQuote(adnl_);
    for (const std::string& sql : {"delete from tblstockHistorySerialNo where  vchtypeid=" + where, history,
                                   "delete from tblItemRates  where  vchtypeID=" + where})
      if (run([&] { return sql; }) == Outcome::Failed) return false;
  }

  if (updateItemRates && run([&] {
                           return "UPDATE TBLITEMMASTER SET ItemCRate = " + num(l_.CRate) + ", PRate=" + num(l_.PRate) +
                                  ",Srate=" + num(l_.SRate) + ",MRP=" + num(l_.MRP) + ",PrateAU=" + num(l_.PRateAU) +
                                  ",SrateAU=" + num(l_.SRateAU) + ",MRPAU=" + num(l_.MRPAU) +
                                  ",PrateAU2=" + num(l_.PRateAU2) + ",SrateAU2=" + num(l_.SRateAU2) +
                                  ",MRPAU2=" + num(l_.MRPAU2) + " where itemid=" + std::to_string(l_.ItemID);
                         }) == Outcome::Failed)
    return false;

  if (clearLine) clearLineFields();
  return true;
}

}  // namespace

bool PostStock(SyncContext& ctx, const StockPosting& p, StockLine& line) {
  // A line is posted whole or not at all: in its own transaction, or in the caller's, who rolls it
  // back on a false result.
  std::unique_ptr<db::Transaction> own;
  try {
    if (p.txn == Txn::Own) own = std::make_unique<db::Transaction>(ctx.local());
  } catch (const db::DbError& e) {
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
    return false;
  }
  Posting posting(ctx, p, line);
  try {
    if (!posting.post(p.mode, p.updateItemRates, p.clearLine)) return false;  // own transaction rolled back
  } catch (const std::exception& e) {
    // Not a failed statement (those go through the ladder): a result the routine could not read.
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
    return false;
  }
  if (own) {
    try {
      own->commit();
    } catch (const db::DbError& e) {
      ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
      return false;
    }
  }
  return true;
}

StockLine stockLineFromRow(const db::Recordset& rs, std::size_t r, const DateTime& expiryWhenNone) {
  auto d = [&](const char* c) { return rs.at(r, c).toDouble(); };
  StockLine l;
  l.CCID = static_cast<int>(rs.at(r, "CCID").toInt());
  if (l.CCID == 0) l.CCID = 1;
  l.ItemID = static_cast<long>(rs.at(r, "ItemID").toInt());
  l.PRateAU = d("PRateAU");
  l.CRateAU = d("CRateAU");
  l.SRateAU = d("SRateAU");
  l.MRPAU = d("MRPAU");
  l.PRateAU2 = d("PRateAU2");
  l.CRateAU2 = d("CRateAU2");
  l.SRateAU2 = d("SRateAU2");
  l.MRPAU2 = d("MRPAU2");
  l.CRate = d("CRate");
  l.PRate = d("Prate");
  l.SRate = d("Srate");
  l.MRP = d("MRP");
  l.Qty = std::fabs(d("Qty"));
  l.BatchCode = rs.at(r, "BatchCode").toString();
  l.BatchUnique = rs.at(r, "BatchUnique").toString();
  l.Expiry = rs.at(r, "Expiry").toDateTime().value_or(expiryWhenNone);
  l.BlnExpiryItem = d("BlnExpiryItem") != 0;
  const db::Value& godown = rs.at(r, "GodownID");
  l.GodownID = godown.isNull() ? 1 : static_cast<int>(godown.toInt());
  l.SupplierID = static_cast<long>(rs.at(r, "SupplierID").toInt());
  return l;
}

}  // namespace erpsync::stock
