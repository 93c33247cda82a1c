// The reconciliation pages of the main window: the count grids (Data Status, UpdateStatus), the sales
// comparison (Compare), the Mismatch page's two lists, the high-water marks label and the Activity
// grid. The operations find the rows; these functions write them to the form.
#pragma once

#include <string>
#include <vector>

#include "reconcile/count_grid.h"
#include "reconcile/fill_sales_comparison.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"

namespace erpsync {
struct WindowContext;
namespace form {
class Grid;
}
}  // namespace erpsync

namespace erpsync::reconcile {

// The colour of a differing count row's label cell (red).
inline constexpr unsigned kMismatchColor = 255;
// Amber (red in the lowest byte, then green): a count row whose difference is only vouchers still
// waiting to go up.
inline constexpr unsigned kWaitingColor = 0x00BFFF;

inline constexpr const char* kDataCountHeader = "Table  |DesktopCount|OnlineCount ";
inline constexpr const char* kTransCountHeader = "Table  |DesktopCount|OnlineCount|Mismatch";
inline constexpr const char* kMisMatchHeader = "SlNo|Inv No          | Inv Date   |VchType  |Table";
inline constexpr const char* kVerifyHeader = "Table|Voucher No|Date|VchType|Finding|Detail";
inline constexpr const char* kActivityHeader = "Updations | TableName | Date ";

// A count grid: the branch's rows, then the "Onlinedata" row; the label cell of a differing row red,
// of a row that only waits amber. With mismatchColumn, column 3 says "Yes", "No" or "Waiting".
void showCounts(form::Grid& grid, const std::string& header, const CountComparison& counts, bool mismatchColumn);

// The Data Status page: the master counts into msgDataCount. Returns the number of differing rows, or
// -1 when the counts could not be taken (the grid is then left as it was).
int showMasterCounts(WindowContext& ctx);
// The UpdateStatus page: the working day's voucher counts into msgTransGrid. Returns the number of rows
// that differ beyond what waits; -1 when no voucher type is chosen or the counts could not be taken
// (the grid is then left as it was).
int showVoucherCounts(WindowContext& ctx);
// The Compare page: the sales per day of the month up to the working date into msgCompare.
void showSalesComparison(WindowContext& ctx);

// msgMisMatch afresh: its header, one row per voucher (the row's number, voucher number, date, type,
// table), and the empty row it always ends with.
void showMismatches(form::Grid& grid, const MismatchOutcome& found);
// msgVerify afresh: one row per voucher that differs, or one line saying that none does.
void showVerify(form::Grid& grid, const VerifyOutcome& verified);
// "7 Sales": a voucher type's id with its name beside it when known.
std::string voucherTypeText(long long id, const std::string& name);

// The Mismatch page's check, with the page set disabled while it runs; fills both lists.
void checkMismatchPage(WindowContext& ctx);

// lblMaxIDS: both marks and the hint to click.
void showActivityMarks(WindowContext& ctx);
// Click of lblMaxIDS: the marks compared with the logs and, when one is behind, the offer to reset.
void onActivityMarksClicked(WindowContext& ctx);
// Click of cmdClearActivity: after a Yes the pending master changes are skipped and msgActivity is
// emptied to its header.
void onClearActivity(WindowContext& ctx);

// One section of the Activity grid: a heading row naming its columns, then its tab-separated rows.
struct ActivitySection {
  std::string heading;  // tab-separated column captions
  std::vector<std::string> rows;
};
// msgActivity afresh: its header, then each section that has rows under its own heading row.
void showActivity(form::Grid& grid, const std::vector<ActivitySection>& sections);

}  // namespace erpsync::reconcile
