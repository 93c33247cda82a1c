// Head office is a round trip away, and the push lock keeps every other branch's upload waiting: an
// operation that takes it holds it only inside one call to head office. Another branch that looks at
// the lock row between two of this branch's calls never finds it held, whatever the operation.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/daycycle_view.h"
#include "app/stock_view.h"
#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "recording_connection.h"
#include "simulator.h"
#include "stock/import_interim_transfers.h"
#include "sync/upload_transactions.h"

namespace erpsync::test {
namespace {

class LockBetweenCalls : public SyncPairFixture {
 protected:
  LockBetweenCalls() {
    ConfigureLinkedServer(ctx, ctx.SyncServerName);
    host.setStrict(false);
    auto rec = std::make_unique<RecordingConnection>(std::move(ctx.WebConnection));
    recording = rec.get();
    // Told before each call goes: what the previous calls left committed at head office.
    rec->onStatement = [this](const std::string&) {
      ++calls;
      if (heldNow()) ++heldBetweenCalls;
    };
    ctx.WebConnection = std::move(rec);
  }
  // This branch's lock row as another branch sees it.
  bool heldNow() {
    return scalar(*watcher,
                  "SELECT count(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH' AND "
                  "SQLSERVERNAME='Branch One'") > 0;
  }
  // The calls to head office that take the lock.
  int lockTakingCalls() const {
    int n = 0;
    for (const auto* list : {&recording->executed, &recording->queried})
      for (const auto& s : *list)
        if (s.find("INSERT INTO [dbo].[tblDayActivity]") != std::string::npos) ++n;
    return n;
  }
  void expectNeverHeldBetweenCalls(const char* what) {
    EXPECT_GT(calls, 1) << what;
    EXPECT_EQ(heldBetweenCalls, 0) << what;
    EXPECT_FALSE(heldNow()) << what;
  }

  std::unique_ptr<db::Connection> watcher =
      db::openConnection(companyConnectionString("HO01", kCentralServer), dir.path());
  RecordingConnection* recording = nullptr;
  int calls = 0, heldBetweenCalls = 0;
};

TEST_F(LockBetweenCalls, TransferImportByHandAndUnattended) {
  auto one = stock::importInterimTransfer(ctx, 16, 3);
  ASSERT_TRUE(one.imported);
  ASSERT_TRUE(one.marked);
  EXPECT_EQ(lockTakingCalls(), 1);  // the mark
  expectNeverHeldBetweenCalls("import by hand");

  form.chkAutoSynchInterimStockTransfer.setValue(1);
  auto run = runInterimTransfersUnattended(ctx);
  EXPECT_EQ(run.imported, 1);  // the purchase; the transfer is marked already
  EXPECT_EQ(run.failed, 0);
  expectNeverHeldBetweenCalls("unattended import");
}

TEST_F(LockBetweenCalls, ManualResyncAndItsUpload) {
  testbed::SimulationOptions o;
  o.sales = 6;
  o.orders = o.stockJournals = o.jobCards = o.notes = 1;
  o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
  o.date = today;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  ageBranchChanges(3);
  ASSERT_GT(sync::uploadTransactions(ctx, false).uploaded, 0);
  const int before = lockTakingCalls();

  host.expectBox(Answer::Yes, "Do you want to delete the transactions of");
  auto out = onManualSynch(ctx);
  ASSERT_TRUE(out.replaced);
  EXPECT_EQ(out.upload.uploaded, out.requeued);
  EXPECT_GE(lockTakingCalls() - before, 2);  // the deletes, then each upload batch
  expectNeverHeldBetweenCalls("manual re-sync");
}

}  // namespace
}  // namespace erpsync::test
