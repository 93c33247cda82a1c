// Two branches' days at one head office: this branch (cost centre 2) enters and uploads a day of
// vouchers; another branch (cost centre 3) has its vouchers of the same day at head office.
#pragma once

#include <string>

#include "daycycle/day_activity.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/upload_transactions.h"
#include "sync/voucher_kinds.h"

namespace erpsync::test {

class DayFixture : public SyncPairFixture {
 protected:
  // The day's buttons are the window's: their tests set its controls.
  DayFixture() { readDayFromWindow(); }

  // This branch's day: sales and one or two of every other kind, dated the working date.
  void enterDay(int sales = 4) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 2;
    o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), nullptr, o);
  }
  // The other branch's vouchers of the same day, as its own upload left them at head office.
  void otherBranchAtHeadOffice() {
    testbed::SimulationOptions o;
    o.sales = 3;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 1;
    o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    o.costCentreId = 3;
    o.seed = 7;
    testbed::simulateErpActivity(&central(), nullptr, o);
  }
  void uploadAll() {
    ageBranchChanges(3);
    for (int i = 0; i < 6; ++i) {
      auto o = sync::uploadTransactions(ctx, false);
      ASSERT_EQ(o.failed, 0);
      if (o.uploaded + o.alreadyCentral + o.deletesMarked == 0) break;
    }
  }
  // Ticks every voucher type this branch's vouchers use, as a branch that uploads them has them ticked.
  void tickBranchVoucherTypes() {
    form.lstVchtypes.clear();
    auto rs = branch().query(
        "SELECT DISTINCT VchTypeID FROM (SELECT VchTypeID FROM tblSales UNION SELECT VchTypeID FROM tblOrder UNION "
        "SELECT VchTypeid AS VchTypeID FROM tblStockJournal UNION SELECT VchTypeID FROM tblJobcard UNION SELECT "
        "VchTypeID FROM tblNotes) t");
    for (std::size_t r = 0; r < rs.size(); ++r) {
      form.lstVchtypes.addItem("type " + rs.at(r, 0).toString(), rs.at(r, 0).toInt());
      form.lstVchtypes.setSelected(static_cast<int>(r), true);
    }
  }

  // Vouchers and their lines of one cost centre at head office, all families together.
  long long centralVouchers(int cc) {
    long long n = 0;
    for (const auto& k : sync::voucherKinds())
      n += scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE CCID = " + std::to_string(cc));
    return n;
  }
  // ... of the working date only.
  long long centralVouchersOfTheDay(int cc) {
    long long n = 0;
    for (const auto& k : sync::voucherKinds())
      n += scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE CCID = " + std::to_string(cc) + " AND " +
                                 k.dateColumn + " = '" + today.iso().substr(0, 10) + "'");
    return n;
  }
  long long centralLines(int cc) {
    long long n = 0;
    for (const auto& k : sync::voucherKinds())
      if (!k.detail.empty())
        n += scalar(central(), "SELECT count(*) FROM " + k.detail + " d WHERE EXISTS (SELECT 1 FROM " + k.table +
                                   " h WHERE h." + k.key + " = d." + k.key + " AND h.CCID = " + std::to_string(cc) +
                                   ")");
    return n;
  }
  long long branchVouchers(const std::string& where = "1=1") {
    long long n = 0;
    for (const auto& k : sync::voucherKinds()) n += scalar(branch(), "SELECT count(*) FROM " + k.table + " WHERE " + where);
    return n;
  }
  // The day start the day's checks count from, dated the working date.
  void startDay() {
    clock.set(today);
    daycycle::WriteDayActivity(ctx, "DayStart", "Day Start Completed", 2, false);
  }
  long long lockRows() {
    return scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'");
  }

  // Every branch voucher is at head office exactly once, under the number its mark names, with all
  // its lines.
  void expectEveryVoucherCentralOnce() {
    for (const auto& k : sync::voucherKinds()) {
      auto rs = branch().query("SELECT " + k.key + ", SyncStat, ServInvID, " + k.numberColumn + " FROM " + k.table);
      for (std::size_t r = 0; r < rs.size(); ++r) {
        const std::string branchNo = rs.at(r, 0).toString(), centralNo = rs.at(r, 2).toString();
        EXPECT_EQ(rs.at(r, 1).toInt(), 1) << k.table << " " << branchNo << " not marked";
        EXPECT_EQ(scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE " + k.numberColumn + " = '" +
                                        rs.at(r, 3).toString() + "' AND CCID = 2"),
                  1)
            << k.table << " " << branchNo;
        if (k.detail.empty() || centralNo.empty()) continue;
        EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + branchNo),
                  scalar(central(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + centralNo))
            << k.detail << " of " << branchNo;
      }
    }
  }
};

}  // namespace erpsync::test
