// The branch's opening stock journal: the tblStockJournal header and the tblStockJournalDetail lines
// that the day start's rebuild and the import of a transfer from head office both write, as the ERP
// keeps an opening stock voucher (voucher type 1005). The statements are the same for both writers but
// for what each one records about where the stock came from.
#pragma once

#include <optional>
#include <string>

#include "util/date_time.h"

namespace erpsync::stock {

struct StockLine;

// The central voucher an imported journal was made from; the day start's journal has none.
struct JournalSource {
  long long vchTypeId = 0;  // the central voucher type: ProfileID
  long long invId = 0;      // the central InvID: RefNO (as text) and ServInvID
  std::string billTime;     // when it was imported, "h:n AM/PM" of head office's clock: BillTime
};

// One opening journal's header.
struct OpeningJournal {
  long long invId = 0;  // the branch's InvID, also VchID, InvNo and SortNumber
  DateTime date;        // the working date
  long long ccid = 0;   // the cost centre of the stock
  std::string vchType;  // the VchType text: "Opening" at day start, "Opening(FromTransfer)" for a transfer
  std::optional<JournalSource> source;  // set for an imported transfer
};

// The header's insert statement.
std::string openingJournalHeader(const OpeningJournal& journal);

// The insert of one detail line of journal invId (every line carries slno 1): the line's quantity goes
// in as qtyIn or out as qtyOut; its alternate-unit rates and supplier go to the stock posting only.
std::string openingJournalLine(long long invId, const StockLine& line, double qtyIn, double qtyOut);

}  // namespace erpsync::stock
