// A head office with a year behind it: the central company database as many branches leave it after a
// year of the synchroniser (vouchers of every kind with their lines, the day rows, the stock history),
// built with set-based T-SQL so a year of 500 branches takes minutes, not hours. Benchmarks measure the
// synchroniser's head-office work on it against a fresh head office; a small one serves the tests.
#pragma once

#include <string>

#include "db/value.h"

namespace erpsync::db {
class Connection;
}

namespace erpsync::testbed {

struct YearOptions {
  int branches = 500;                // cost centres ownCostCentre, ownCostCentre + 1, ...
  int days = 365;                    // the year ends on lastDay
  long long vouchers = 1'000'000;    // headers of every kind together
  long long dayRows = 600'000;       // rows of tblDayActivity
  long long stockRows = 1'000'000;   // rows of tblStockHistory
  db::DateTime lastDay{2026, 12, 5, 0, 0, 0};
  // The branch whose program is measured: its vouchers carry its own voucher types (the testbed's
  // 201 sales, 202 receipts, 204 stock journals, 205 orders, 206 job cards) and stop the day before
  // lastDay (that day's are still at the branch); its day rows carry branchServerName.
  int ownCostCentre = 2;
  std::string branchServerName = "embedded:servers/branch";
};

struct YearReport {
  long long headers = 0, lines = 0, dayRows = 0, stockRows = 0;
  double seconds = 0;
};

// Adds the year to the central company database `central`, which must hold the synchroniser's schema
// (Update Database has run: tblDayActivity and the upload columns exist). Keys continue after the
// highest ones present. Runs on the embedded server and on SQL Server alike; throws db::DbError.
YearReport buildYear(db::Connection& central, const YearOptions& options);

}  // namespace erpsync::testbed
