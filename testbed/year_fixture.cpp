// Builds a head office with a year behind it: every voucher kind with its lines, the day rows and the
// stock history of many branches, each table filled by one INSERT ... SELECT over a table of numbers
// (the numbers themselves by cross joins of ten digits), so the build is set-based on any server.
#include "year_fixture.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/sql_quote.h"

namespace erpsync::testbed {

namespace {

constexpr const char* kNumbers = "erpsync_year_numbers";
constexpr const char* kDigits = "erpsync_year_digits";

// A date as a T-SQL literal no server reads two ways.
std::string isoLiteral(const db::DateTime& d) {
  return fmt::format("'{:04}-{:02}-{:02}T00:00:00'", d.year, d.month, d.day);
}

long long scalar(db::Connection& c, const std::string& sql) {
  const db::Recordset rs = c.query(sql);
  return rs.empty() || rs.at(0, 0).isNull() ? 0 : rs.at(0, 0).toInt();
}

// The numbers 0 .. at least `count` - 1, in a table with its key.
void makeNumbers(db::Connection& c, long long count) {
  c.execute(fmt::format("CREATE TABLE {} (n int NOT NULL)", kDigits));
  c.execute(fmt::format("INSERT INTO {} (n) VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)", kDigits));
  c.execute(fmt::format("CREATE TABLE {0} (n int NOT NULL, CONSTRAINT PK_{0} PRIMARY KEY CLUSTERED (n))", kNumbers));
  std::string sum = "d0.n", from = std::string(kDigits) + " d0";
  long long reach = 10;
  for (int k = 1; reach < count; ++k, reach *= 10) {
    sum += fmt::format(" + {} * d{}.n", reach, k);
    from += fmt::format(" CROSS JOIN {} d{}", kDigits, k);
  }
  c.execute(fmt::format("INSERT INTO {} (n) SELECT {} FROM {}", kNumbers, sum, from));
}

void dropNumbers(db::Connection& c) {
  for (const char* t : {kNumbers, kDigits}) {
    try {
      c.execute(std::string("DROP TABLE ") + t);
    } catch (const db::DbError&) {
    }
  }
}

// One voucher kind of the year: n runs over its vouchers, branch by branch within a day and day by
// day, so the keys grow with the dates as they do when branches upload.
struct Kind {
  const char* table;
  const char* key;
  double share;        // of all headers
  int ownType;         // the measured branch's voucher type of this kind
  int typeOffset;      // other branches: 100000 + 10 x cost centre + this
  const char* prefix;  // printed numbers: prefix + cost centre + "-" + serial
  const char* columns;
  const char* values;  // {key} {no} {date} {time} {type} {cc} {amount} expand below
  const char* detail;
  int linesEach;
  const char* detailColumns;
  const char* detailValues;  // {key} {sl} {item}
};

const std::vector<Kind>& kinds() {
  static const std::vector<Kind> k{
      {"tblSales", "InvID", 0.70, 201, 1, "S",
       "InvID, InvNo, RefNo, AutoNum, SortNumber, InvDate, BillTime, VchType, VchTypeID, MOP, LedgerID, Party, "
       "GrossAmt, Discount, TaxAmt, BillAmt, RoundOff, NetAmount, UserNarration, SalesManID, Cancelled, CCID, "
       "currencyid, UserID, UserName, ComputerName, CustomField1, LockMode",
       "{key}, {no}, '', {serial}, {serial}, {date}, {time}, 'Sales', {type}, 'Cash', 7, 'Counter customer', "
       "{amount}, 0, 5, {amount} + 5, 0, {amount} + 5, '', 1, 0, {cc}, 1, 1, 'cashier', 'BRPC01', '', 1",
       "tblSalesItem", 3,
       "SlNo, InvID, ItemID, Qty, FreeQty, UnitID, Rate, PRate, CRate, MRP, Discount, TaxPer, TaxAmount, Amount, "
       "BatchCode, BatchUnique, GodownID",
       "{sl}, {key}, {item}, 1 + l.n, 0, 1, 40, 30, 30, 45, 0, 5, 2, 40 * (1 + l.n), 'B00001', 'B00001', 1"},
      {"tblNotes", "VchID", 0.15, 202, 2, "R",
       "VchID, VchNo, VchDate, BillTime, VchTypeID, LedgerID, CashLedgerID, Amount, Narration, RefNo, CCID, "
       "UserID, Cancelled, LockMode",
       "{key}, {no}, {date}, {time}, {type}, 7, 1, {amount}, 'Received on account', '', {cc}, 1, 0, 1", nullptr, 0,
       nullptr, nullptr},
      {"tblOrder", "InvID", 0.05, 205, 5, "O",
       "InvID, InvNo, InvDate, BillTime, DeliveryDate, VchTypeID, LedgerID, Party, BillAmt, NetAmount, CCID, "
       "UserID, Cancelled, LockMode",
       "{key}, {no}, {date}, {time}, {date}, {type}, 7, 'Counter customer', {amount}, {amount}, {cc}, 1, 0, 1",
       "tblOrderItem", 2, "SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode",
       "{sl}, {key}, {item}, 2, 40, 45, 80, 'B00001'"},
      {"tblStockJournal", "InvId", 0.05, 204, 4, "J",
       "VchID, InvId, InvNo, InvDate, VchType, MOP, LedgerId, Party, CCID, VchTypeid, UserName, BillTime, LockMode",
       "{key}, {key}, {no}, {date}, 'Stock Journal', 'Cash', 100, 'Damaged in transit', {cc}, {type}, 'cashier', "
       "{time}, 1",
       "tblStockJournalDetail", 2,
       "slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, BatchCode, CCID, GodownID, BatchUnique",
       "{sl}, {key}, {item}, 0, 1, 30, 30, 40, 45, 'B00001', 2, 1, 'B00001'"},
      {"tblJobcard", "JobCardID", 0.05, 206, 6, "C",
       "JobCardID, JobCardNo, JobCardDate, JobCardTime, VchTypeID, LedgerID, Party, Complaint, EstimateAmt, EmpID, "
       "CCID, Status, LockMode",
       "{key}, {no}, {date}, {time}, {type}, 8, 'Walk-in Customer', 'Service', {amount}, 3, {cc}, 'Closed', 1",
       "tblJobCardDetail", 1, "SlNo, JobCardID, ItemID, Qty, Rate, Amount, WorkDone",
       "{sl}, {key}, {item}, 1, 72, 72, 'Done'"},
  };
  return k;
}

// The shape of the year every table shares.
struct Plan {
  const YearOptions& o;
  std::string firstDay;  // literal of the year's first day
  long long items = 1;
  std::string cc() const { return fmt::format("({} + n % {})", o.ownCostCentre, o.branches); }
  // Rows of the measured branch: the branch is number 0 of each day's round.
  std::string own() const { return fmt::format("n % {} = 0", o.branches); }
};

// One kind's headers and lines; returns {headers, lines}.
std::pair<long long, long long> addKind(db::Connection& c, const Plan& p, const Kind& k, long long count) {
  if (count <= 0) return {0, 0};
  const long long base = scalar(c, fmt::format("SELECT isnull(max({}), 0) FROM {}", k.key, k.table));
  const long long perDay = std::max(1LL, (count + p.o.days - 1) / p.o.days);
  const std::string day = fmt::format("n / {}", perDay);
  const std::string date = fmt::format("DATEADD(day, {}, {})", day, p.firstDay);
  const std::string values = fmt::format(
      fmt::runtime(k.values), fmt::arg("key", fmt::format("{} + n + 1", base)),
      fmt::arg("no", fmt::format("'{}' + CAST({} AS varchar(10)) + '-' + CAST(n / {} + 1 AS varchar(12))", k.prefix,
                                 p.cc(), p.o.branches)),
      fmt::arg("serial", fmt::format("n / {} + 1", p.o.branches)), fmt::arg("date", date),
      fmt::arg("time", fmt::format("DATEADD(minute, 540 + n % 600, {})", date)),
      fmt::arg("type", fmt::format("CASE WHEN {} THEN {} ELSE 100000 + 10 * {} + {} END", p.own(), k.ownType, p.cc(),
                                   k.typeOffset)),
      fmt::arg("cc", p.cc()), fmt::arg("amount", "100 + n % 900"));
  // The measured branch's vouchers of the last day are still at the branch.
  const long long headers = c.execute(fmt::format("INSERT INTO {} ({}) SELECT {} FROM {} WHERE n < {} AND NOT ({} AND "
                                                  "{} >= {})",
                                                  k.table, k.columns, values, kNumbers, count, p.own(), day,
                                                  p.o.days - 1));
  long long lines = 0;
  if (k.detail) {
    const std::string detailValues = fmt::format(
        fmt::runtime(k.detailValues), fmt::arg("key", std::string("h.") + k.key), fmt::arg("sl", "l.n + 1"),
        fmt::arg("item", fmt::format("1 + (h.{} + l.n) % {}", k.key, p.items)));
    lines = c.execute(fmt::format("INSERT INTO {} ({}) SELECT {} FROM {} h CROSS JOIN {} l WHERE l.n < {} AND h.{} > {}",
                                  k.detail, k.detailColumns, detailValues, k.table, kNumbers, k.linesEach, k.key, base));
  }
  return {headers, lines};
}

// The day rows: a day start (started, finished) and a day end of every branch and day, the last days
// last; the measured branch's rows stop the day before lastDay.
long long addDayRows(db::Connection& c, const Plan& p) {
  const long long perRound = 3LL * p.o.branches;
  const long long rounds = (p.o.dayRows + perRound - 1) / perRound;
  const std::string cc = fmt::format("({} + (n / 3) % {})", p.o.ownCostCentre, p.o.branches);
  const std::string own = fmt::format("(n / 3) % {} = 0", p.o.branches);
  const std::string date =
      fmt::format("DATEADD(day, n / {} - {}, {})", perRound, rounds - 1, isoLiteral(p.o.lastDay));
  return c.execute(fmt::format(
      "INSERT INTO tblDayActivity (Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, BlnEnded, "
      "CCID, BlockDataEntry, SQLSERVERNAME) SELECT CASE WHEN n % 3 = 2 THEN 'DayEnd' ELSE 'DayStart' END, "
      "DATEADD(minute, 480 + 30 * (n % 3), '1900-01-01T00:00:00'), '', {0}, CASE n % 3 WHEN 0 THEN 'Day Start "
      "started' WHEN 1 THEN 'Day Start Finished' ELSE 'Day End Completed' END, CASE WHEN n % 3 = 2 THEN 0 ELSE 1 "
      "END, CASE WHEN n % 3 = 2 THEN 1 ELSE 0 END, {1}, CASE WHEN n % 3 = 1 THEN 0 ELSE 1 END, CASE WHEN {2} THEN "
      "{3} ELSE 'BRANCH' + CAST({1} AS varchar(10)) END FROM {4} WHERE n < {5} AND NOT ({2} AND n / {6} >= {7})",
      date, cc, own, db::sqlQuote(p.o.branchServerName), kNumbers, p.o.dayRows, perRound, rounds - 1));
}

// Stock moved by the year's sales: one row a line, spread over the days and branches like them.
long long addStockRows(db::Connection& c, const Plan& p) {
  const long long perDay = std::max(1LL, (p.o.stockRows + p.o.days - 1) / p.o.days);
  return c.execute(fmt::format(
      "INSERT INTO tblStockHistory (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, "
      "QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, "
      "MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, "
      "SHSupplierID, GodownID, BatchUnique) SELECT 0, DATEADD(day, n / {0}, {1}), CASE WHEN {2} THEN 201 ELSE 100001 "
      "+ 10 * {3} END, n / 3 + 1, '', 1 + n % {4}, 0, 0, 0, 1 + n % 3, 0, 0, 'B00001', 0, 30, 0, 40, 0, 45, 0, 0, "
      "'B00001', {3}, 0, 0, 30, 40, 30, 45, 9, 1, 'B00001' FROM {5} WHERE n < {6}",
      perDay, p.firstDay, p.own(), p.cc(), p.items, kNumbers, p.o.stockRows));
}

}  // namespace

YearReport buildYear(db::Connection& central, const YearOptions& o) {
  const auto start = std::chrono::steady_clock::now();
  Plan p{o, isoLiteral(db::DateTime::fromDayNumber(o.lastDay.dayNumber() - (o.days - 1))), 1};
  p.items = std::max(1LL, scalar(central, "SELECT count(*) FROM tblItemMaster"));
  dropNumbers(central);
  makeNumbers(central, std::max({o.vouchers, o.dayRows, o.stockRows, 10LL}));
  YearReport r;
  try {
    for (const Kind& k : kinds()) {
      const auto [headers, lines] = addKind(central, p, k, static_cast<long long>(o.vouchers * k.share));
      r.headers += headers;
      r.lines += lines;
    }
    r.dayRows = addDayRows(central, p);
    r.stockRows = addStockRows(central, p);
  } catch (...) {
    dropNumbers(central);
    throw;
  }
  dropNumbers(central);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return r;
}

}  // namespace erpsync::testbed
