// A prepared branch and central pair for day start and the posting routines: the ERP's switches loaded,
// the branch connection behind a FaultyConnection so a test can make any statement fail, and a
// snapshot of the branch tables a day start rebuilds.
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "faulty_connection.h"
#include "pair_fixture.h"
#include "shared/erp_settings.h"

namespace erpsync::test {

class DayStartFixture : public SyncPairFixture {
 protected:
  DayStartFixture() {
    EXPECT_TRUE(LoadErpSettings(ctx.LocalConnection.get(), ctx.erpSettings));
    auto f = std::make_unique<FaultyConnection>(std::move(ctx.LocalConnection));
    faulty = f.get();
    ctx.LocalConnection = std::move(f);
  }

  // Every row of the tables a day start writes, as sorted text: equal snapshots mean equal contents.
  std::vector<std::string> snapshot(db::Connection& c) {
    std::vector<std::string> out;
    for (const char* t : {"tblStock", "tblVoucher", "tblStockHistory", "tblStockJournal", "tblStockJournalDetail",
                          "tblItemRates", "tblStockHistorySerialNo", "tblItemMaster"}) {
      auto rs = c.query(std::string("SELECT * FROM ") + t);
      std::vector<std::string> rows;
      for (const auto& row : rs.rows) {
        std::string line = t;
        for (const auto& v : row) line += "|" + v.toString();
        rows.push_back(line);
      }
      std::sort(rows.begin(), rows.end());
      out.insert(out.end(), rows.begin(), rows.end());
    }
    return out;
  }

  // A fresh connection to the branch (the one under test may have been closed by a fault).
  std::unique_ptr<db::Connection> freshBranch() {
    return db::openConnection(companyConnectionString("BR01", kBranchServer), dir.path());
  }

  // key columns joined by "|" -> the number in the last column, rounded to cents.
  static std::map<std::string, long long> totals(db::Connection& c, const std::string& sql) {
    std::map<std::string, long long> out;
    auto rs = c.query(sql);
    for (const auto& row : rs.rows) {
      std::string key;
      for (std::size_t i = 0; i + 1 < row.size(); ++i) key += (i ? "|" : "") + row[i].toString();
      out[key] += std::llround(row.back().toDouble() * 100);
    }
    return out;
  }

  std::string latestDayRow(db::Connection& c) {
    auto rs = c.query("SELECT TOP 1 ActivitiesDetail FROM tblDayActivity ORDER BY ID DESC");
    return rs.empty() ? std::string() : rs.at(0, 0).toString();
  }

  FaultyConnection* faulty = nullptr;
};

}  // namespace erpsync::test
