// The branch set's check: plain queries on every branch and the head office, compared in memory.
#include "branch_check.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "db/connection.h"
#include "db/db_error.h"
#include "db/sql_quote.h"
#include "testbed.h"
#include "util/text.h"

namespace erpsync::testbed {

namespace {

struct Family {
  const char* table;
  const char* key;
  const char* number;
  const char* detail;  // empty: no lines
  const char* mark;    // where head office marks a copy whose voucher the branch deleted
};

// The voucher families a branch uploads, with the column that numbers a voucher at its branch.
constexpr Family kFamilies[] = {{"tblSales", "InvID", "InvNo", "tblSalesItem", "Party"},
                                {"tblOrder", "InvID", "InvNo", "tblOrderItem", "Party"},
                                {"tblStockJournal", "InvID", "InvNo", "tblStockJournalDetail", "Party"},
                                {"tblJobcard", "JobCardID", "JobCardNo", "tblJobCardDetail", "Party"},
                                {"tblNotes", "VchID", "VchNo", "", "Narration"}};

constexpr std::size_t kSampleLimit = 10;

void note(std::vector<std::string>& list, const std::string& text) {
  if (list.size() < kSampleLimit) list.push_back(text);
}

const std::string kLockRow = "Activity='BLOCKFASTPUSH' AND BlockDataEntry=1";

bool hasHistory(db::Connection& c) {
  try {
    c.query("SELECT ID FROM tblLockHistory WHERE 1=0");
    return true;
  } catch (const db::DbError&) {
    return false;
  }
}

long long scalar(db::Connection& c, const std::string& sql) {
  auto rs = c.query(sql);
  return rs.empty() || rs.at(0, 0).isNull() ? 0 : rs.at(0, 0).toInt();
}

// A value as the copy leaves it: an empty value (NULL, blank, zero, day zero) is written as a
// blank or a zero, so they all read the same here.
std::string normalised(const db::Value& v) {
  if (v.isNull()) return {};
  std::string t(text::trim(v.toString(), " "));
  return t == "0" || t.rfind("1900-01-01", 0) == 0 ? std::string() : t;
}

// What a voucher holds, as text: its header's columns but those the upload numbers or sets anew, and
// its lines (the voucher's key left out), sorted. A copy holds the same as its branch voucher.
struct Content {
  std::string header, lines;
  long long lineCount = 0;
};

bool setByUpload(const std::string& column, const Family& f) {
  for (const char* c : {f.key, "SyncStat", "ServInvID", "ID"})
    if (text::iequals(column, c)) return true;
  return false;
}

// The columns of a table at the branch, but its key and those the upload sets.
std::vector<std::string> contentColumns(db::Connection& branch, const char* table, const Family& f) {
  std::vector<std::string> cols;
  for (const auto& field : branch.query(fmt::format("SELECT * FROM {} WHERE 1=0", table)).fields)
    if (!setByUpload(field.name, f)) cols.push_back(field.name);
  return cols;
}

std::string selectList(const char* key, const std::vector<std::string>& cols) {
  std::string list = key;
  for (const auto& c : cols) list += ", " + db::sqlBracket(c);
  return list;
}

std::string rowText(const db::Recordset& rs, std::size_t r) {
  std::string text;
  for (std::size_t f = 1; f < rs.fields.size(); ++f) text += normalised(rs.at(r, f)) + "\x1f";
  return text;
}

// Vouchers of a family by key; where: the filter of the headers ("" for all).
std::map<long long, Content> contents(db::Connection& c, const Family& f, const std::string& where,
                                      const std::vector<std::string>& headerCols,
                                      const std::vector<std::string>& lineCols) {
  std::map<long long, Content> out;
  auto hs = c.query(fmt::format("SELECT {} FROM {}{}", selectList(f.key, headerCols), f.table, where));
  for (std::size_t r = 0; r < hs.size(); ++r) out[hs.at(r, 0).toInt()].header = rowText(hs, r);
  if (!*f.detail) return out;
  std::map<long long, std::vector<std::string>> lines;
  auto ls = c.query(fmt::format("SELECT {} FROM {}", selectList(f.key, lineCols), f.detail));
  for (std::size_t r = 0; r < ls.size(); ++r) lines[ls.at(r, 0).toInt()].push_back(rowText(ls, r));
  for (auto& [key, list] : lines) {
    auto it = out.find(key);
    if (it == out.end()) continue;
    std::sort(list.begin(), list.end());
    for (const auto& l : list) it->second.lines += l + "\n";
    it->second.lineCount = static_cast<long long>(list.size());
  }
  return out;
}

// The masters head office changes while the branches work, with their keys: ledgers and areas one row
// a statement, items (their rates, MRP included) a whole category a statement and new items one by one.
// Ledgers and areas are compared where head office's change log names them; every item is compared,
// as the branches start with head office's items and take no item of their own.
struct Master {
  const char* table;
  const char* key;
  bool everyRow;
};
constexpr Master kMasters[] = {
    {"tblLedger", "LID", false}, {"tblArea", "AreaID", false}, {"tblItemMaster", "ItemID", true}};

// Rows of a master table by key, as the text of the named columns.
std::map<std::string, std::string> masterRows(db::Connection& c, const char* table, const char* key,
                                              const std::vector<std::string>& columns) {
  std::string list;
  for (const auto& col : columns) list += (list.empty() ? "" : ", ") + db::sqlBracket(col);
  auto rs = c.query(fmt::format("SELECT {}, {} FROM {}", key, list, table));
  std::map<std::string, std::string> rows;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    std::string row;
    for (std::size_t f = 1; f < rs.fields.size(); ++f) row += normalised(rs.at(r, f)) + "|";
    rows[rs.at(r, 0).toString()] = row;
  }
  return rows;
}

std::vector<std::string> columnNames(db::Connection& c, const char* table) {
  auto rs = c.query(fmt::format("SELECT * FROM {} WHERE 1=0", table));
  std::vector<std::string> names;
  for (const auto& f : rs.fields) names.push_back(text::lower(f.name));
  return names;
}

// Master rows that differ at a branch.
long long masterDifferences(db::Connection& central, db::Connection& branch, const std::string& branchDb,
                            std::vector<std::string>& problems) {
  long long differing = 0;
  for (const auto& [table, key, everyRow] : kMasters) {
    // Only the columns both sides have: the synchroniser may have added its own to one of them.
    const auto theirs = columnNames(branch, table);
    std::vector<std::string> common;
    for (const auto& col : columnNames(central, table))
      if (std::find(theirs.begin(), theirs.end(), col) != theirs.end()) common.push_back(col);
    const auto ho = masterRows(central, table, key, common);
    const auto br = masterRows(branch, table, key, common);
    std::set<std::string> keys;
    if (everyRow) {
      for (const auto& side : {&ho, &br})
        for (const auto& row : *side) keys.insert(row.first);
    } else {
      auto logged = central.query(
          fmt::format("SELECT DISTINCT tblUniqueID FROM tblActivity WHERE TableName={}", db::sqlQuote(table)));
      for (std::size_t r = 0; r < logged.size(); ++r) keys.insert(logged.at(r, 0).toString());
    }
    for (const std::string& k : keys) {
      auto a = ho.find(k), b = br.find(k);
      const bool same = (a == ho.end()) == (b == br.end()) && (a == ho.end() || a->second == b->second);
      if (!same) {
        ++differing;
        note(problems, fmt::format("{} {} {} differs from head office", branchDb, table, k));
      }
    }
  }
  return differing;
}

long long ms(const db::Value& v) {
  auto d = v.toDateTime();
  return d ? d->totalSeconds() * 1000 + d->millisecond : 0;
}

}  // namespace

double LockFigures::holdPercentile(double share) const {
  if (holdSeconds.empty()) return 0;
  std::vector<double> sorted = holdSeconds;
  std::sort(sorted.begin(), sorted.end());
  const auto at = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(at, sorted.size() - 1)];
}

LockFigures readLockHistory(db::Connection& central, const std::map<long long, std::string>& names) {
  LockFigures lock;
  auto rs = central.query(
      "SELECT ID, Event, Holder, Holders, CCID, AgeSeconds, LoggedAt, VoucherTable, CentralID FROM tblLockHistory "
      "ORDER BY ID");
  std::map<std::string, long long> rows;  // holder -> when its row was taken (ms)
  std::string lastTaker;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    const std::string event = rs.at(r, "Event").toString();
    const std::string holder = rs.at(r, "Holder").toString();
    if (event == "TAKE") {
      ++lock.takes;
      if (!rows.empty()) {
        ++lock.overlaps;
        note(lock.samples, fmt::format("history {}: {} took the lock while {} held it", rs.at(r, "ID").toInt(), holder,
                                       rows.begin()->first));
      }
      if (holder != lastTaker && !lastTaker.empty()) ++lock.handovers;
      lastTaker = holder;
      rows[holder] = ms(rs.at(r, "LoggedAt"));
    } else if (event == "DROP") {
      if (rs.at(r, "AgeSeconds").toInt() >= 50) ++lock.staleClears;
      if (auto it = rows.find(holder); it != rows.end()) {
        const double held = static_cast<double>(ms(rs.at(r, "LoggedAt")) - it->second) / 1000.0;
        if (held > lock.longestHoldSeconds) lock.longestHoldSeconds = held;
        lock.holdSeconds.push_back(held);
        rows.erase(it);
      }
    } else if (event == "VOUCHER") {
      auto name = names.find(rs.at(r, "CCID").toInt());
      if (name == names.end()) continue;  // not one of the set's branches
      const bool alone = rs.at(r, "Holders").toInt() == 1 && holder == name->second && rows.size() == 1 &&
                         rows.count(name->second) == 1;
      if (!alone) {
        ++lock.vouchersOutside;
        note(lock.samples, fmt::format("{} {} of {} arrived while the lock rows were {} (held by '{}')",
                                       rs.at(r, "VoucherTable").toString(), rs.at(r, "CentralID").toInt(), name->second,
                                       rs.at(r, "Holders").toInt(), holder));
      }
    }
  }
  return lock;
}

void installLockRecorder(db::Connection& central) {
  if (hasHistory(central)) return;
  db::Transaction t(central);
  central.execute(
      "CREATE TABLE [dbo].[tblLockHistory] ([ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL, [Event] [varchar](10) NOT "
      "NULL, [Holder] [varchar](50) NULL, [Holders] [int] NULL, [AgeSeconds] [int] NULL, [CCID] [numeric](18, 0) "
      "NULL, [VoucherTable] [varchar](30) NULL, [CentralID] [numeric](18, 0) NULL, [LoggedAt] [datetime] NULL)");
  central.execute(
      "CREATE TRIGGER [dbo].[trLockHistoryTake] ON [dbo].[tblDayActivity] AFTER INSERT AS INSERT INTO tblLockHistory "
      "(Event, Holder, LoggedAt) SELECT 'TAKE', SQLSERVERNAME, getdate() FROM inserted WHERE " +
      kLockRow);
  central.execute(
      "CREATE TRIGGER [dbo].[trLockHistoryDrop] ON [dbo].[tblDayActivity] AFTER DELETE AS INSERT INTO tblLockHistory "
      "(Event, Holder, AgeSeconds, LoggedAt) SELECT 'DROP', SQLSERVERNAME, DATEDIFF(second, Timeof, getdate()), "
      "getdate() FROM deleted WHERE " +
      kLockRow);
  for (const Family& f : kFamilies)
    central.execute(fmt::format(
        "CREATE TRIGGER [dbo].[trLockHistory_{0}] ON [dbo].[{0}] AFTER INSERT AS INSERT INTO tblLockHistory (Event, "
        "Holder, Holders, CCID, VoucherTable, CentralID, LoggedAt) SELECT 'VOUCHER', (SELECT max(SQLSERVERNAME) FROM "
        "tblDayActivity WHERE {2}), (SELECT count(*) FROM tblDayActivity WHERE {2}), CCID, '{0}', {1}, getdate() FROM "
        "inserted",
        f.table, f.key, kLockRow));
  t.commit();
}

BranchSetReport checkBranchSet(const BranchSet& set) {
  BranchSetReport report;
  auto central = db::openConnection(companyConnectionString(set.centralServer, set.centralDb),
                                    set.branches.empty() ? std::filesystem::current_path() : set.branches[0].home);
  std::map<long long, std::string> names;
  for (const auto& b : set.branches) {
    auto rs = central->query(fmt::format("SELECT CCName FROM tblCostCentre WHERE CCID={}", b.costCentre));
    names[b.costCentre] = rs.empty() ? b.costCentreName : rs.at(0, 0).toString();
  }
  std::string ccList;
  for (const auto& b : set.branches) ccList += (ccList.empty() ? "" : ",") + std::to_string(b.costCentre);

  for (const auto& b : set.branches) report.branches.push_back({b.branchDb, b.costCentre});
  for (const Family& f : kFamilies) {
    report.duplicateNumbers += scalar(
        *central,
        fmt::format("SELECT count(*) FROM (SELECT {0} FROM {1} GROUP BY {0} HAVING count(*) > 1) d", f.key, f.table));
    // Live head-office copies by what identifies a voucher: its branch number, type and cost centre
    // (a copy head office marked deleted at the branch is kept there on purpose and counts no more).
    using Natural = std::tuple<std::string, long long, long long>;
    std::map<Natural, std::vector<long long>> copies;
    std::map<long long, Content> centralContent;
    if (!ccList.empty() && !set.branches.empty()) {
      auto first = db::openConnection(companyConnectionString("embedded:servers/branch", set.branches[0].branchDb),
                                      set.branches[0].home);
      centralContent = contents(*central, f, " WHERE CCID IN (" + ccList + ")", contentColumns(*first, f.table, f),
                                *f.detail ? contentColumns(*first, f.detail, f) : std::vector<std::string>{});
      auto rs = central->query(
          fmt::format("SELECT {}, {}, VchTypeID, CCID FROM {} WHERE CCID IN ({}) AND isnull({}, '') <> "
                      "'#DELETEDFROMBRANCH#'",
                      f.key, f.number, f.table, ccList, f.mark));
      for (std::size_t r = 0; r < rs.size(); ++r)
        copies[{rs.at(r, 1).toString(), rs.at(r, 2).toInt(), rs.at(r, 3).toInt()}].push_back(rs.at(r, 0).toInt());
    }
    std::set<Natural> claimed;
    for (std::size_t i = 0; i < set.branches.size(); ++i) {
      const BranchHome& b = set.branches[i];
      BranchFigures& fig = report.branches[i];
      auto branch = db::openConnection(companyConnectionString("embedded:servers/branch", b.branchDb), b.home);
      if (&f == &kFamilies[0])
        report.mastersDiffering += masterDifferences(*central, *branch, b.branchDb, report.problems);
      const auto branchContent =
          contents(*branch, f, "", contentColumns(*branch, f.table, f),
                   *f.detail ? contentColumns(*branch, f.detail, f) : std::vector<std::string>{});
      auto rs =
          branch->query(fmt::format("SELECT {}, {}, VchTypeID, SyncStat, ServInvID FROM {}", f.key, f.number, f.table));
      for (std::size_t r = 0; r < rs.size(); ++r) {
        const long long id = rs.at(r, 0).toInt();
        const Natural natural{rs.at(r, 1).toString(), rs.at(r, 2).toInt(), b.costCentre};
        const std::string what = fmt::format("{} {} of {}", f.table, id, b.branchDb);
        ++fig.entered;
        if (rs.at(r, 3).toInt() == 1) {
          ++fig.marked;
        } else {
          ++report.unmarked;
          note(report.problems, what + " is not marked as uploaded");
        }
        claimed.insert(natural);
        auto found = copies.find(natural);
        if (found == copies.end()) {
          ++report.missing;
          note(report.problems, what + " is not at head office");
          continue;
        }
        if (found->second.size() > 1) {
          ++report.duplicateVouchers;
          note(report.problems, fmt::format("{} is at head office {} times", what, found->second.size()));
        }
        // The copy the branch's mark names, when it is one of them.
        long long centralId = found->second.front();
        for (long long id : found->second)
          if (id == rs.at(r, 4).toInt()) centralId = id;
        if (rs.at(r, 4).toInt() != centralId) {
          ++report.missing;
          note(report.problems,
               fmt::format("{} points at head-office {} but its copy is {}", what, rs.at(r, 4).toInt(), centralId));
        }
        const Content& mine = branchContent.at(id);
        const Content& copy = centralContent[centralId];
        if (mine.header != copy.header || mine.lines != copy.lines) {
          ++report.wrongContent;
          note(report.problems, fmt::format("{} differs from its head-office copy {} ({}; lines {} and {})", what,
                                            centralId, mine.header == copy.header ? "same header" : "other header",
                                            mine.lineCount, copy.lineCount));
        }
      }
    }
    for (const auto& [natural, ids] : copies) {
      for (auto& fig : report.branches)
        if (fig.costCentre == std::get<2>(natural)) {
          fig.central += static_cast<long long>(ids.size());
          for (long long id : ids) fig.lines += centralContent[id].lineCount;
        }
      if (!claimed.count(natural)) {
        report.orphans += static_cast<long long>(ids.size());
        note(report.problems, fmt::format("head-office {} {} of cost centre {} belongs to no branch voucher", f.table,
                                          ids.front(), std::get<2>(natural)));
      }
    }
  }
  if (hasHistory(*central)) report.lock = readLockHistory(*central, names);
  return report;
}

std::string describe(const BranchSetReport& r) {
  std::string out;
  for (const auto& b : r.branches)
    out += fmt::format("{} (cost centre {}): entered {}, marked {}, at head office {} with {} lines\n", b.branchDb,
                       b.costCentre, b.entered, b.marked, b.central, b.lines);
  out += fmt::format(
      "duplicate central numbers {}\nvouchers at head office more than once {}\nvouchers missing or mismarked "
      "{}\ncopies with other content (header or lines) {}\nhead-office rows of no branch voucher {}\nbranch vouchers "
      "not marked {}\nlogged "
      "master "
      "rows differing from head office {}\n",
      r.duplicateNumbers, r.duplicateVouchers, r.missing, r.wrongContent, r.orphans, r.unmarked, r.mastersDiffering);
  out += fmt::format(
      "lock takes {}, hand-overs {}, stale clears {}, longest hold {:.2f} s\nlock hold p50 {:.2f} s, p90 {:.2f} s, "
      "p99 {:.2f} s\nlock overlaps {}\nvouchers inserted outside their branch's lock {}\n",
      r.lock.takes, r.lock.handovers, r.lock.staleClears, r.lock.longestHoldSeconds, r.lock.holdPercentile(0.5),
      r.lock.holdPercentile(0.9), r.lock.holdPercentile(0.99), r.lock.overlaps, r.lock.vouchersOutside);
  for (const auto& p : r.problems) out += "  " + p + "\n";
  for (const auto& p : r.lock.samples) out += "  " + p + "\n";
  out += r.ok() ? "RESULT ok\n" : "RESULT violations\n";
  return out;
}

}  // namespace erpsync::testbed
