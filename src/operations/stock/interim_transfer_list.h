// The listing half of the "Stock Transfer" page: which central voucher types bring stock to this
// branch, the vouchers of one type and the items of one voucher, read from head office.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shared/working_day.h"

namespace erpsync {
struct SyncContext;
namespace db {
class Recordset;
}
}  // namespace erpsync

namespace erpsync::stock {

// The central parent type of a voucher type (0 when the type is unknown). -1 is the board-rate
// pseudo type; 2 purchases; 5, 6, 41, 1005 stock journals of this branch (CCID); 16 stock journals
// addressed to this branch (DestCCID).
int interimParentType(SyncContext& ctx, long long vchTypeId);

// Whether vouchers of the parent type are central stock journals (5, 6, 16, 41, 1005).
bool isJournalParent(int parentType);

// The day start the page shows (its date and time captions): the listing takes only vouchers since
// then. A date caption that is not a date means no filter.
struct DayStartShown {
  std::string date;
  std::string time;
};

// The central listing of a type's vouchers (empty for a parent type that lists nothing): the 50 newest
// with top50, else all; only those since the day start shown, when it shows one.
std::string interimTransferListQuery(const WorkingDay& day, const DayStartShown& since, int parentType,
                                     long long vchTypeId, bool top50);

// The vouchers the unattended import takes, of every type at once: those of purchase and stock-journal
// types (parent types 2, 5, 6, 16) not marked "DOWNLAODED", as the page lists them, of the types whose
// stock history at head office brings stock to the day's branch (as interimTransferTypesQuery finds
// the types). Columns VchTypeID, ParentID, InvId, InvNo, InvDate, BillTime, Party, Customfield1, then
// `columns` (", expr AS Name"); type by type, newest first.
std::string waitingTransfersQuery(const WorkingDay& day, const DayStartShown& since, const std::string& columns);

// The central voucher types whose stock history brings stock to the day's branch (VchTypeID, VchType).
std::string interimTransferTypesQuery(const WorkingDay& day);

// The list entry of row r of that listing: "InvNo - dd/MMM/yyyy : time/Customfield1".
std::string interimListEntry(const db::Recordset& rs, std::size_t r);

// One voucher of the listing.
struct TransferEntry {
  std::string text;  // as interimListEntry makes it
  long long invId = 0;
  bool imported = false;  // head office marked it "DOWNLAODED"
};

// The 50 newest central vouchers of a type (all with top50 false), as the page lists them. Throws
// db::DbError when the parent type lists nothing or head office cannot be read.
std::vector<TransferEntry> listInterimTransfers(SyncContext& ctx, const WorkingDay& day, const DayStartShown& since,
                                                int parentType, long long vchTypeId, bool top50 = true);

// The central query of a voucher's items as the receiving branch sees them (empty for a parent type
// that shows none): purchases their quantity; stock journals the quantity that comes in here, which
// for a journal addressed to this branch is what the sending branch gave out.
std::string interimItemsQuery(int parentType, long long invId);

}  // namespace erpsync::stock
