// A day of vouchers entered at the branch and uploaded, ready to be made to differ from head office;
// and a connection wrapper that fails on request, for the failures between the two sides.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "db/connection.h"
#include "db/db_error.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/upload_transactions.h"
#include "sync/voucher_kinds.h"

namespace erpsync::test {

// Passes everything to the wrapped connection, except what the test asks to fail.
class FaultyConnection : public db::Connection {
 public:
  explicit FaultyConnection(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}
  // Statements containing this text fail (as a lost link does) before they run; "" fails none.
  std::string failExecuteContaining;
  bool failCommit = false;  // the commit fails and the transaction is rolled back

  void open(const std::string& cs) override { inner_->open(cs); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  long long execute(const std::string& sql) override {
    if (!failExecuteContaining.empty() && sql.find(failExecuteContaining) != std::string::npos)
      throw db::DbError("[DBNETLIB]General network error. Connection failure", "08S01", 11);
    return inner_->execute(sql);
  }
  db::Recordset query(const std::string& sql) override { return inner_->query(sql); }
  void beginTrans() override { inner_->beginTrans(); }
  void commitTrans() override {
    if (failCommit) {
      inner_->rollbackTrans();
      throw db::DbError("[DBNETLIB]General network error. Connection failure", "08S01", 11);
    }
    inner_->commitTrans();
  }
  void rollbackTrans() override { inner_->rollbackTrans(); }
  void setCommandTimeout(int s) override { inner_->setCommandTimeout(s); }

 private:
  std::unique_ptr<db::Connection> inner_;
};

class UploadedDay : public SyncPairFixture {
 protected:
  UploadedDay() {
    host.setStrict(false);
    // The branch server reaches head office through the linked server, as after connect.
    ConfigureLinkedServer(ctx, kCentralServer);
  }

  // The ERP's day at the branch: sales, and one or two of every other kind; then all of it uploaded.
  void enterAndUpload(int sales = 4) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 2;
    o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), nullptr, o);
    upload();
  }

  // Upload passes until nothing is left; the change log is read again from its start, so vouchers
  // queued again are found without waiting for new changes.
  sync::UploadOutcome upload() {
    ctx.MaxActivityIDTrans = 0;
    ageBranchChanges(5);
    sync::UploadOutcome total;
    for (int i = 0; i < 6; ++i) {
      auto o = sync::uploadTransactions(ctx, false);
      total.uploaded += o.uploaded;
      total.alreadyCentral += o.alreadyCentral;
      total.failed += o.failed;
      if (o.uploaded == 0 && !o.busy) break;
      ctx.MaxActivityIDTrans = 0;
    }
    return total;
  }

  // A branch voucher of a table: its id, number and central id, by position (ordered by id).
  struct Voucher {
    long long id = 0;
    std::string number;
    long long central = 0;
  };
  Voucher voucher(const std::string& table, int index = 0) {
    const sync::VoucherKind& k = *sync::voucherKind(table);
    auto rs = branch().query("SELECT " + k.key + ", " + k.numberColumn + ", ServInvID FROM " + k.table + " ORDER BY " +
                             k.key);
    const auto r = static_cast<std::size_t>(index);
    return {rs.at(r, 0).toInt(), rs.at(r, 1).toString(), rs.at(r, 2).toInt()};
  }

  // Live central copies of a printed number of this branch (cost centre 2).
  long long liveCopies(const std::string& table, const std::string& number) {
    const sync::VoucherKind& k = *sync::voucherKind(table);
    return scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE " + k.numberColumn + " = '" + number +
                                 "' AND CCID = 2 AND isnull(" + k.markColumn + ",'') <> '#DELETEDFROMBRANCH#'");
  }
  long long syncStat(const std::string& table, long long id) {
    const sync::VoucherKind& k = *sync::voucherKind(table);
    return scalar(branch(), "SELECT SyncStat FROM " + k.table + " WHERE " + k.key + " = " + std::to_string(id));
  }

  // Every branch voucher uploaded and held once, live, at head office, with as many lines.
  void expectConverged() {
    for (const auto& k : sync::voucherKinds()) {
      auto rs = branch().query("SELECT " + k.key + ", " + k.numberColumn + ", SyncStat, ServInvID FROM " + k.table);
      for (std::size_t r = 0; r < rs.size(); ++r) {
        const std::string number = rs.at(r, 1).toString();
        EXPECT_EQ(rs.at(r, 2).toInt(), 1) << k.table << " " << number << " not uploaded";
        EXPECT_EQ(liveCopies(k.table, number), 1) << k.table << " " << number;
        if (k.detail.empty()) continue;
        EXPECT_EQ(
            scalar(branch(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + rs.at(r, 0).toString()),
            scalar(central(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + rs.at(r, 3).toString()))
            << k.table << " " << number;
      }
    }
  }

  // A voucher of another branch (cost centre 3) at head office, dated the working day, with the same
  // number and type as one of ours and one line.
  void otherBranchCopyOf(const std::string& table, const Voucher& v) {
    const sync::VoucherKind& k = *sync::voucherKind(table);
    const long long id = scalar(central(), "SELECT max(" + k.key + ") + 1 FROM " + k.table);
    central().execute("INSERT INTO " + k.table + " (" + k.key + ", " + k.numberColumn + ", " + k.dateColumn +
                      ", VchTypeID, CCID, " + k.markColumn + ") SELECT " + std::to_string(id) + ", " + k.numberColumn +
                      ", " + k.dateColumn + ", VchTypeID, 3, 'Other branch' FROM " + k.table + " WHERE " + k.key +
                      " = " + std::to_string(v.central));
    if (!k.detail.empty())
      central().execute("INSERT INTO " + k.detail + " (" + k.key + ", SlNo) VALUES (" + std::to_string(id) + ", 1)");
  }
  long long otherBranchRows() {
    long long n = 0;
    for (const auto& k : sync::voucherKinds()) {
      n += scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE CCID = 3 AND isnull(" + k.markColumn +
                                 ",'') <> '#DELETEDFROMBRANCH#'");
      if (!k.detail.empty())
        n += scalar(central(), "SELECT count(*) FROM " + k.detail + " d WHERE EXISTS (SELECT 1 FROM " + k.table +
                                   " s WHERE s." + k.key + " = d." + k.key + " AND s.CCID = 3)");
    }
    return n;
  }
};

}  // namespace erpsync::test
