// Stock posting shared with the ERP: writes one stock line of a voucher into the branch company
// database the way the ERP itself does (batch row in tblStock, movement in tblstockHistory, purchase
// rates in tblItemRates, serial numbers, the item's current rates), or removes a voucher's movements
// before it is posted again. Day start and the transfer import post their opening journals with it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "stock/next_id.h"
#include "util/date_time.h"

namespace erpsync {
struct SyncContext;
namespace db {
class Recordset;
}
}  // namespace erpsync

namespace erpsync::stock {

class StockBook;

// One line of a stock voucher, filled by the caller and passed by reference. PostStock writes back
// the defaults it applies, the trimmed (possibly replaced) BatchCode, BatchUnique and Expiry, and with
// clearLine zeroes the quantities, rates, ItemID and SupplierID afterwards; the other fields carry
// over to the next line unless the caller sets them.
struct StockLine {
  long ItemID = 0;
  std::string BatchCode;  // may carry an "@" suffix, which is cut off
  double Qty = 0;         // without sign: the mode says in or out
  double QtyAU = 0;
  double QtyAU2 = 0;
  double Weight = 0;
  bool BlnExpiryItem = false;
  double PRate = 0;
  double SRate = 0;
  double CRate = 0;
  double MRP = 0;
  double VRate = 0;  // valuation rate; above 0 it replaces PRate on stock-in lines
  double PRateAU = 0;
  double SRateAU = 0;
  double CRateAU = 0;
  double MRPAU = 0;
  std::string BatchUnique;  // computed by PostStock
  double PRateAU2 = 0;
  double SRateAU2 = 0;
  double CRateAU2 = 0;
  double MRPAU2 = 0;
  std::string LineText;
  int CCID = 0;
  int GodownID = 0;
  double FreeQty = 0;
  std::vector<std::string> SerialNos;  // all but the last element are written
  DateTime Expiry;
  long SupplierID = 0;
};

// The stock line of row r of a head-office stock query (the day start's opening stock, a transfer's
// batches): cost centre 0 becomes 1, no godown becomes 1, the quantity without its sign. A row with no
// expiry gets expiryWhenNone.
StockLine stockLineFromRow(const db::Recordset& rs, std::size_t r, const DateTime& expiryWhenNone);

// Modes of PostStock.
inline constexpr int kStockIn = 1;
inline constexpr int kStockOut = 2;
inline constexpr int kDeleteMovements = 5;

// The voucher type (and parent type) of the opening stock journals this system posts.
inline constexpr int kOpeningStockVchType = 1005;

// How many times a stock-row insert that collides on a batch index is retried with the next batch
// number before the collision is handled as any other error.
inline constexpr int kBatchIndexRetries = 5;

// Which transaction the statements of a posting run in.
// - Own: the routine opens a branch transaction around its statements and commits it when the
//   line (or double entry) is posted whole; on failure it rolls it back, so nothing of it stays.
// - Callers: the caller already holds a branch transaction on LocalConnection (day start's rebuild,
//   one transfer's import); the routine neither opens nor commits nor rolls back. On a false result
//   the statements already run are still in the caller's transaction and the caller must roll it back
//   (or carry on knowingly): this is how a caller keeps its whole unit atomic.
enum class Txn { Own, Callers };

// What PostStock does with a line.
struct StockPosting {
  int vchType = 0;               // VchTypeID of the voucher (1005 for opening stock; the replaced voucher's to delete)
  int mode = kStockIn;           // kStockIn, kStockOut, or kDeleteMovements (removes every movement of vchType/refId)
  long refId = 0;                // RefId of the movements: the voucher's InvID
  std::string adnlRefId;         // AdnlRefID (empty in this system)
  DateTime vchDate;              // movement date (the working date)
  bool updateItemRates = false;  // write the line's rates into tblItemMaster
  bool clearLine = false;        // reset the line after posting
  Txn txn = Txn::Own;
  // With Txn::Callers, what the caller's transaction knows of tblStock (read once when it began): the
  // line's batch row and new numbers are looked up there instead of scanning the table, and a row the
  // line inserts is added to it. The outcome is the one without it. Not used with Txn::Own.
  StockBook* book = nullptr;
};

// Posts one stock line on LocalConnection as posting says; line is changed as told at StockLine.
// Returns true when the line was posted. False after a refusal (voucher type 0, item 0, a declined
// batch-code question) or a failed statement (shown as a message box); with Txn::Own nothing of the
// line stays in the database then.
bool PostStock(SyncContext& ctx, const StockPosting& posting, StockLine& line);

}  // namespace erpsync::stock
