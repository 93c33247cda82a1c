// The reconciliation pages of the main window (see reconcile_view.h).
#include "app/reconcile_view.h"

#include "form/main_form.h"
#include "reconcile/activity_marks.h"
#include "reconcile/fill_data_count.h"
#include "reconcile/fill_trans_count.h"
#include "reconcile/mismatch_page.h"
#include "shared/date_text.h"
#include "app/window_context.h"

namespace erpsync::reconcile {

namespace {

std::string count(const std::optional<long long>& n) {
  return n ? std::to_string(*n) : std::string();
}

const char* mismatchWord(CountState s) {
  switch (s) {
    case CountState::Equal:
      return "No";
    case CountState::Waiting:
      return "Waiting";
    case CountState::Differs:
      break;
  }
  return "Yes";
}

// The page set stays disabled while the Mismatch page's check runs, however it ends.
class DisablePages {
 public:
  explicit DisablePages(form::Control& pages) : pages_(pages) { pages_.setEnabled(false); }
  ~DisablePages() { pages_.setEnabled(true); }
  DisablePages(const DisablePages&) = delete;
  DisablePages& operator=(const DisablePages&) = delete;

 private:
  form::Control& pages_;
};

}  // namespace

void showCounts(form::Grid& grid, const std::string& header, const CountComparison& counts, bool mismatchColumn) {
  grid.setRows(1);
  grid.setFormatString(header);
  grid.setColumnWidths({20, 13, 13, 9});
  for (const auto& row : counts.rows) {
    grid.addItem(row.label + "\t" + count(row.branch) + "\t" + count(row.central));
    const int r = grid.rows() - 1;
    if (mismatchColumn) grid.setText(r, 3, mismatchWord(row.state));
    if (row.state != CountState::Equal)
      grid.setCellColor(r, 0, row.state == CountState::Waiting ? kWaitingColor : kMismatchColor);
  }
  grid.addItem("Onlinedata");
}

int showMasterCounts(WindowContext& ctx) {
  const CountComparison counts = CompareMasterCounts(ctx);
  if (counts.failed) return -1;
  showCounts(ctx.form.msgDataCount, kDataCountHeader, counts, false);
  return counts.differing();
}

int showVoucherCounts(WindowContext& ctx) {
  const CountComparison counts = CompareVoucherCounts(ctx, ctx.day());
  if (counts.failed) return -1;
  showCounts(ctx.form.msgTransGrid, kTransCountHeader, counts, true);
  return counts.differing();
}

void showSalesComparison(WindowContext& ctx) {
  const SalesComparison sales = CompareSales(ctx, ctx.day());
  if (sales.failed) return;
  auto& grid = ctx.form.msgCompare;
  grid.setRows(1);
  grid.setFormatString("Date|Sales here|Sales at head office");
  grid.setColumnWidths({13, 12, 20});
  for (const auto& d : sales.days)
    grid.addItem(ddMMMyyyy(d.date) + "\t" + std::to_string(d.branch) + "\t" + std::to_string(d.central));
  if (sales.days.empty())
    grid.addItem("No sales from " + ddMMMyyyy(sales.from) + " to " + ddMMMyyyy(sales.to) + " on either side");
}

std::string voucherTypeText(long long id, const std::string& name) {
  return name.empty() ? std::to_string(id) : std::to_string(id) + " " + name;
}

void showMismatches(form::Grid& grid, const MismatchOutcome& found) {
  grid.setRows(1);
  grid.setFormatString(kMisMatchHeader);
  grid.setColumnWidths({6, 18, 13, 28, 24});
  for (const auto& v : found.vouchers)
    grid.addItem(std::to_string(grid.rows()) + "\t" + v.number + "\t" + v.date + "\t" +
                 voucherTypeText(v.type, v.typeName) + "\t" + v.table);
  grid.setRows(grid.rows() + 1);
}

void showVerify(form::Grid& grid, const VerifyOutcome& verified) {
  grid.setRows(1);
  grid.setFormatString(kVerifyHeader);
  grid.setColumnWidths({24, 18, 13, 28, 22});
  for (const auto& d : verified.differences)
    grid.addItem(d.table + "\t" + d.number + "\t" + d.date + "\t" + voucherTypeText(d.type, d.typeName) + "\t" +
                 findingText(d.finding) + "\t" + d.detail);
  if (verified.differences.empty() && !verified.failed)
    grid.addItem("No differences: " + std::to_string(verified.compared) +
                 (verified.compared == 1 ? " voucher" : " vouchers") + " of the day compared");
}

void checkMismatchPage(WindowContext& ctx) {
  DisablePages disabled(ctx.form.SSTab2);
  const MismatchCheck check = CheckMismatches(ctx, ctx.day());
  showMismatches(ctx.form.msgMisMatch, check.located);
  if (!check.located.failed) showVerify(ctx.form.msgVerify, check.verified);
}

void showActivityMarks(WindowContext& ctx) {
  ctx.form.lblMaxIDS.setCaption(" Max Server Activity ID " + std::to_string(ctx.MaxActivityID) + "\r\n" +
                                "Max client trans Activity ID " + std::to_string(ctx.MaxActivityIDTrans) + "\r\n" +
                                "Double click to know actual IDS of Server and client");
}

void onActivityMarksClicked(WindowContext& ctx) {
  if (ResetActivityMarks(ctx, ctx.day())) showActivityMarks(ctx);
}

void onClearActivity(WindowContext& ctx) {
  if (!ClearMasterActivity(ctx)) return;
  showActivity(ctx.form.msgActivity, {});
  showActivityMarks(ctx);
}

void showActivity(form::Grid& grid, const std::vector<ActivitySection>& sections) {
  grid.clear();
  grid.setRows(1);
  grid.setFormatString(kActivityHeader);
  grid.setColumnWidths({16, 24, 26});
  for (const auto& s : sections) {
    if (s.rows.empty()) continue;
    grid.addItem(s.heading);
    for (const auto& row : s.rows) grid.addItem(row);
  }
}

}  // namespace erpsync::reconcile
