// The indexes Update Database adds so that the synchroniser's work at head office stays the same size
// however many branches and years its tables hold. Every one is named erpsync_<table>_<columns>, can
// be dropped at any time (DROP INDEX <name> ON <table>) and is made again by the next run.
#pragma once

#include <string>
#include <vector>

namespace erpsync::capture {

struct SyncIndex {
  std::string name;
  std::string table;
  std::string columns;  // "Activity", "VchTypeID, InvDate"
  bool centralSide = true;  // made at head office
  bool branchSide = false;  // made at the branch
  std::string create() const { return "CREATE INDEX " + name + " ON " + table + " (" + columns + ")"; }
};

// - tblDayActivity (Activity), both sides: the push lock row is found among the day rows of every
//   branch and day, five times in each upload batch (taken, checked, its holder read, given back).
// - tblActivity (tblUniqueID), branch: the upload's marks skip a voucher the ERP changed since it was
//   read, found by its id among the change-log rows written since (every mark of the pass among them).
// - every voucher header (VchTypeID, date, number), head office: the voucher counts after a pass count
//   one branch's vouchers (its voucher types) of one date among every branch's vouchers of every date,
//   and the upload's receipt check looks a voucher up by type, date and number.
const std::vector<SyncIndex>& syncIndexes();

}  // namespace erpsync::capture
