// The ERP's side of a working day, played against real databases: what a branch enters and what head
// office maintains, statement by statement as the ERP sends them.
#include "simulator.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "db/db_error.h"
#include "util/text.h"

namespace erpsync::testbed {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string dateText(const db::DateTime& d) {
  return fmt::format("{:02}/{}/{:04}", d.day, kMonths[d.month - 1], d.year);
}

std::string dateTimeText(const db::DateTime& d, int minuteOfDay) {
  return fmt::format("{} {:02}:{:02}:00", dateText(d), minuteOfDay / 60 % 24, minuteOfDay % 60);
}

std::string q(const std::string& s) {
  return db::sqlQuote(s);
}
std::string money(double v) {
  return fmt::format("{:.2f}", v);
}

struct Item {
  long long id = 0;
  double srate = 0, mrp = 0, prate = 0;
  long long unitId = 1;
};

struct Party {
  long long id = 0;
  std::string name;
};

// A small deterministic generator (the same numbers on every platform for one seed).
class Dice {
 public:
  explicit Dice(unsigned seed) : g_(seed) {}
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(g_() % static_cast<unsigned>(n)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }

 private:
  std::mt19937 g_;
};

bool hasColumn(db::Connection& c, const std::string& table, const std::string& column) {
  try {
    c.query("SELECT " + column + " FROM " + table + " WHERE 1=0");
    return true;
  } catch (const db::DbError&) {
    return false;
  }
}

long long nextId(db::Connection& c, const std::string& table, const std::string& column) {
  auto rs = c.query("SELECT ISNULL(MAX(" + column + "),0)+1 AS N FROM " + table);
  return rs.empty() ? 1 : rs.at(0, 0).toInt();
}

bool isDuplicateKey(const db::DbError& e) {
  const auto& d = e.description();
  return d.find("duplicate key") != std::string::npos || d.find("PRIMARY KEY") != std::string::npos;
}

// Saves one voucher as the ERP does: header and details in one transaction, numbered from the
// current maximum. Another workstation saving at the same moment may take the number first; the
// save is then repeated with the next one.
long long saveVoucher(db::Connection& c, const std::string& table, const std::string& idColumn,
                      const std::function<std::vector<std::string>(long long id)>& statements) {
  for (int attempt = 0;; ++attempt) {
    long long id = nextId(c, table, idColumn);
    try {
      db::Transaction t(c);
      for (const auto& sql : statements(id)) c.execute(sql);
      t.commit();
      return id;
    } catch (const db::DbError& e) {
      if (attempt >= 50 || !isDuplicateKey(e)) throw;
    }
  }
}

struct VoucherKind {
  std::string table, idColumn, detailTable, detailKey, noteColumn;
  int parentType;
  int* reportCount;
};

class Simulation {
 public:
  Simulation(db::Connection* branch, db::Connection* central, const SimulationOptions& o)
      : branch_(branch), central_(central), o_(o), dice_(o.seed) {}

  SimulationReport run() {
    if (branch_) runBranch();
    if (central_) runCentral();
    return report_;
  }

  // One voucher at a time, for BranchErp.
  void prepareDesk() { prepareBranch(); }

  EnteredVoucher enterOne(VoucherFamily f, const db::DateTime& at) {
    db::Connection& b = *branch_;
    date_ = at.dateOnly();
    billTime_ = dateTimeText(date_, at.hour * 60 + at.minute);
    long long id = 0;
    switch (f) {
      case VoucherFamily::Sales:
        id = enterSale(b);
        break;
      case VoucherFamily::Order:
        id = enterOrder(b);
        break;
      case VoucherFamily::StockJournal:
        id = enterStockJournal(b);
        break;
      case VoucherFamily::JobCard:
        id = enterJobCard(b);
        break;
      case VoucherFamily::Note:
        id = enterNote(b);
        break;
    }
    const Shape& s = shape(f);
    auto rs = b.query(fmt::format("SELECT {} FROM {} WHERE {} = {}", s.number, s.header, s.key, id));
    return {f, id, rs.empty() ? std::string() : rs.at(0, 0).toString()};
  }

  std::string editOne(VoucherFamily f, long long id, LineEdit lineEdit) {
    db::Connection& b = *branch_;
    const Shape& s = shape(f);
    const std::string where = fmt::format(" WHERE {} = {}", s.key, id);
    std::string what;
    db::Transaction t(b);
    const int pick = dice_.below(3);
    if (f == VoucherFamily::Note && pick == 2) {
      b.execute("UPDATE tblNotes SET Amount = Amount + 25" + where);
      what = "Amount +25";
    } else if (pick == 1 && f != VoucherFamily::StockJournal && f != VoucherFamily::Note) {
      const Party& p = party();
      b.execute(fmt::format("UPDATE {} SET LedgerID = {}, Party = {}{}", s.header, p.id, q(p.name), where));
      what = "Party " + p.name;
    } else {
      const std::string text = fmt::format("Corrected by cashier ({})", ++editNo_);
      b.execute(fmt::format("UPDATE {} SET {} = {}{}", s.header, s.noteColumn, q(text), where));
      what = std::string(s.noteColumn) + " '" + text + "'";
    }
    if (lineEdit != LineEdit::None && *s.detail) what += ", " + editLines(b, s, id, lineEdit);
    t.commit();
    report_.changes.push_back({s.header, id, "Update"});
    return what;
  }

  void removeOne(VoucherFamily f, long long id) {
    db::Connection& b = *branch_;
    const Shape& s = shape(f);
    db::Transaction t(b);
    if (*s.detail) b.execute(fmt::format("DELETE FROM {} WHERE {} = {}", s.detail, s.key, id));
    b.execute(fmt::format("DELETE FROM {} WHERE {} = {}", s.header, s.key, id));
    t.commit();
    report_.changes.push_back({s.header, id, "Deleted"});
  }

  // A family's tables and the columns an edit touches.
  struct Shape {
    const char* header;
    const char* key;
    const char* number;
    const char* detail;      // "" for notes
    const char* noteColumn;  // the free text an edit corrects
    const char* rate;        // the line's rate column
    std::vector<const char*> totals;  // header columns that hold the sum of the lines' amounts
  };
  static const Shape& shape(VoucherFamily f) {
    static const Shape shapes[] = {
        {"tblSales", "InvID", "InvNo", "tblSalesItem", "UserNarration", "Rate", {"GrossAmt", "BillAmt", "NetAmount"}},
        {"tblOrder", "InvID", "InvNo", "tblOrderItem", "UserNarration", "Rate", {"BillAmt", "NetAmount"}},
        {"tblStockJournal", "InvID", "InvNo", "tblStockJournalDetail", "UserNarration", "Srate",
         {"GrossAmt", "BillAmt", "NetAmount"}},
        {"tblJobcard", "JobCardID", "JobCardNo", "tblJobCardDetail", "Complaint", "Rate", {"EstimateAmt"}},
        {"tblNotes", "VchID", "VchNo", "", "Narration", "", {}},
    };
    return shapes[static_cast<int>(f)];
  }

 private:
  // What the branch's voucher screens read once: items, parties, the date and the upload flag columns.
  void prepareBranch() {
    db::Connection& b = *branch_;
    date_ = o_.date ? o_.date->dateOnly() : branchToday();
    // Vouchers of today are billed no later than now, as a cashier bills them: before nine in the
    // morning the day's bill times would otherwise lie ahead and read as entered in the future.
    if (auto now = serverNow(b); now && now->dateOnly().dayNumber() == date_.dayNumber())
      lastMinute_ = now->hour * 60 + now->minute;
    cc_ = o_.costCentreId;
    loadItems(b);
    loadParties(b);
    syncStat_ = {{"tblSales", hasColumn(b, "tblSales", "SyncStat")},
                 {"tblOrder", hasColumn(b, "tblOrder", "SyncStat")},
                 {"tblStockJournal", hasColumn(b, "tblStockJournal", "SyncStat")},
                 {"tblJobcard", hasColumn(b, "tblJobcard", "SyncStat")},
                 {"tblNotes", hasColumn(b, "tblNotes", "SyncStat")}};
  }

  void runBranch() {
    db::Connection& b = *branch_;
    prepareBranch();

    struct Made {
      std::string table, idColumn, detailTable, detailKey, noteColumn;
      long long id;
    };
    std::vector<Made> made;
    // Interleave the families as a shop's day does.
    std::array<int, 5> left{o_.sales, o_.orders, o_.stockJournals, o_.jobCards, o_.notes};
    for (int round = 0; left[0] + left[1] + left[2] + left[3] + left[4] > 0; ++round) {
      for (int f = 0; f < 5; ++f) {
        if (left[f] == 0) continue;
        --left[f];
        switch (f) {
          case 0:
            made.push_back({"tblSales", "InvID", "tblSalesItem", "InvID", "UserNarration", enterSale(b)});
            break;
          case 1:
            made.push_back({"tblOrder", "InvID", "tblOrderItem", "InvID", "UserNarration", enterOrder(b)});
            break;
          case 2:
            made.push_back(
                {"tblStockJournal", "InvId", "tblStockJournalDetail", "InvID", "UserNarration", enterStockJournal(b)});
            break;
          case 3:
            made.push_back({"tblJobcard", "JobCardID", "tblJobCardDetail", "JobCardID", "Complaint", enterJobCard(b)});
            break;
          default:
            made.push_back({"tblNotes", "VchID", "", "", "Narration", enterNote(b)});
            break;
        }
      }
    }

    for (int i = 0; i < o_.edits && !made.empty(); ++i) {
      const Made& m = made[static_cast<std::size_t>(dice_.below(static_cast<int>(made.size())))];
      b.execute("UPDATE " + m.table + " SET " + m.noteColumn + "=" +
                q(fmt::format("Corrected by cashier ({})", i + 1)) + " WHERE " + m.idColumn + "=" +
                std::to_string(m.id));
      report_.changes.push_back({m.table, m.id, "Update"});
      ++report_.edits;
    }
    for (int i = 0; i < o_.deletes && !made.empty(); ++i) {
      std::size_t k = static_cast<std::size_t>(dice_.below(static_cast<int>(made.size())));
      Made m = made[k];
      made.erase(made.begin() + static_cast<std::ptrdiff_t>(k));
      db::Transaction t(b);
      if (!m.detailTable.empty())
        b.execute("DELETE FROM " + m.detailTable + " WHERE " + m.detailKey + "=" + std::to_string(m.id));
      b.execute("DELETE FROM " + m.table + " WHERE " + m.idColumn + "=" + std::to_string(m.id));
      t.commit();
      report_.changes.push_back({m.table, m.id, "Deleted"});
      ++report_.deletes;
    }
  }

  void runCentral() {
    db::Connection& c = *central_;
    if (items_.empty()) loadItems(c);
    if (!o_.date && !branch_) date_ = today(c);
    for (int i = 0; i < o_.masterChanges; ++i) masterChange(c, i);
    if (o_.boardRates > 0 && hasColumn(c, "tblBoardRateMaster", "VchID"))
      for (int i = 0; i < o_.boardRates; ++i) boardRateBatch(c);
  }

  db::DateTime today(db::Connection& c) {
    auto rs = c.query("Select top 1 Getdate() as ServDate from tblSettings");
    if (!rs.empty())
      if (auto d = rs.at(0, 0).toDateTime()) return d->dateOnly();
    return db::DateTime{2026, 1, 1};
  }
  db::DateTime branchToday() { return today(*branch_); }
  static std::optional<db::DateTime> serverNow(db::Connection& c) {
    auto rs = c.query("Select Getdate()");
    return rs.empty() ? std::nullopt : rs.at(0, 0).toDateTime();
  }

  void loadItems(db::Connection& c) {
    auto rs = c.query("SELECT ItemID, Srate, MRP, PRate, UnitID FROM tblItemMaster ORDER BY ItemID");
    for (std::size_t r = 0; r < rs.size(); ++r)
      items_.push_back({rs.at(r, 0).toInt(), rs.at(r, 1).toDouble(), rs.at(r, 2).toDouble(), rs.at(r, 3).toDouble(),
                        rs.at(r, 4).isNull() ? 1 : rs.at(r, 4).toInt()});
    if (items_.empty()) items_.push_back({1, 10, 12, 8, 1});
  }

  void loadParties(db::Connection& c) {
    auto rs = c.query("SELECT LID, LName FROM tblLedger ORDER BY LID");
    for (std::size_t r = 0; r < rs.size(); ++r) parties_.push_back({rs.at(r, 0).toInt(), rs.at(r, 1).toString()});
    if (parties_.empty()) parties_.push_back({1, "Cash"});
  }

  // The branch's voucher type of a kind (by parent type), else any voucher type of that kind.
  long long vchType(int parent) {
    if (auto it = vchTypes_.find(parent); it != vchTypes_.end()) return it->second;
    auto rs = branch_->query("SELECT VchTypeID, PrimaryCCIDS FROM tblVchType WHERE ParentID=" + std::to_string(parent) +
                             " ORDER BY VchTypeID");
    long long id = parent;
    for (std::size_t r = 0; r < rs.size(); ++r)
      if (rs.at(r, 1).toString() == std::to_string(cc_)) {
        id = rs.at(r, 0).toInt();
        break;
      }
    if (id == parent && !rs.empty()) id = rs.at(0, 0).toInt();
    vchTypes_[parent] = id;
    return id;
  }

  const Item& item() { return items_[static_cast<std::size_t>(dice_.below(static_cast<int>(items_.size())))]; }
  const Party& party() { return parties_[static_cast<std::size_t>(dice_.below(static_cast<int>(parties_.size())))]; }
  // The bill time of the next voucher: the one set for it, else the next minute of the day's run.
  std::string billTime() { return billTime_ ? *billTime_ : dateTimeText(date_, minuteOfDay()); }
  int minuteOfDay() {
    minute_ += dice_.between(1, 7);
    return std::min(minute_, lastMinute_);
  }
  std::string syncCols(const std::string& table) const { return syncStat_.at(table) ? ", SyncStat" : ""; }
  std::string syncVals(const std::string& table) const { return syncStat_.at(table) ? ", 0" : ""; }

  struct Line {
    Item item;
    double qty, amount;
  };
  std::vector<Line> lines() {
    std::vector<Line> out;
    int n = dice_.between(1, 3);
    for (int i = 0; i < n; ++i) {
      const Item& it = item();
      double qty = dice_.between(1, 5);
      out.push_back({it, qty, qty * it.srate});
    }
    return out;
  }
  static double total(const std::vector<Line>& ls) {
    double t = 0;
    for (auto& l : ls) t += l.amount;
    return t;
  }

  long long enterSale(db::Connection& b) {
    auto ls = lines();
    const Party& p = party();
    const double amt = total(ls);
    const std::string time = billTime();
    const long long type = vchType(1);
    long long id = saveVoucher(b, "tblSales", "InvID", [&](long long id) {
      std::vector<std::string> s;
      s.push_back(
          "INSERT INTO tblSales (InvID, InvNo, RefNo, AutoNum, SortNumber, InvDate, BillTime, VchType, VchTypeID, "
          "MOP, LedgerID, Party, GrossAmt, Discount, TaxAmt, BillAmt, RoundOff, NetAmount, UserNarration, "
          "SalesManID, Cancelled, CCID, currencyid, UserID, UserName, ComputerName, CustomField1, LockMode" +
          syncCols("tblSales") + ") VALUES (" + fmt::format("{0}, 'S-{0}', '', {0}, {0}, ", id) + q(dateText(date_)) +
          ", " + q(time) + ", 'Sales', " + std::to_string(type) + ", 'Cash', " + std::to_string(p.id) + ", " +
          q(p.name) + ", " + money(amt) + ", 0, 0, " + money(amt) + ", 0, " + money(amt) + ", '', 1, 0, " +
          std::to_string(cc_) + ", 1, 1, 'cashier', 'BRPC01', '', 0" + syncVals("tblSales") + ")");
      int sl = 0;
      for (const auto& l : ls)
        s.push_back(
            "INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, FreeQty, UnitID, Rate, PRate, CRate, MRP, Discount, "
            "TaxPer, TaxAmount, Amount, BatchCode, BatchUnique, GodownID) VALUES (" +
            fmt::format("{}, {}, {}, {}, 0, {}, {}, {}, {}, {}, 0, 0, 0, {}, ", ++sl, id, l.item.id, l.qty,
                        l.item.unitId, l.item.srate, l.item.prate, l.item.prate, l.item.mrp, money(l.amount)) +
            q(fmt::format("B{:05}", l.item.id)) + ", " + q(fmt::format("B{:05}", l.item.id)) + ", 1)");
      return s;
    });
    report_.detailRows += static_cast<int>(ls.size());
    ++report_.sales;
    report_.changes.push_back({"tblSales", id, "Insert"});
    return id;
  }

  long long enterOrder(db::Connection& b) {
    auto ls = lines();
    const Party& p = party();
    const double amt = total(ls);
    const std::string time = billTime();
    const long long type = vchType(14);
    long long id = saveVoucher(b, "tblOrder", "InvID", [&](long long id) {
      std::vector<std::string> s;
      s.push_back(
          "INSERT INTO tblOrder (InvID, InvNo, InvDate, BillTime, DeliveryDate, VchTypeID, LedgerID, Party, BillAmt, "
          "NetAmount, UserNarration, SalesManID, CCID, UserID, Cancelled, CustomField1, LockMode" +
          syncCols("tblOrder") + ") VALUES (" + fmt::format("{0}, 'O-{0}', ", id) + q(dateText(date_)) + ", " +
          q(time) + ", " + q(dateText(date_)) + ", " + std::to_string(type) + ", " + std::to_string(p.id) + ", " +
          q(p.name) + ", " + money(amt) + ", " + money(amt) + ", '', 1, " + std::to_string(cc_) + ", 1, 0, '', 0" +
          syncVals("tblOrder") + ")");
      int sl = 0;
      for (const auto& l : ls)
        s.push_back(
            "INSERT INTO tblOrderItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, ItemRemarks) VALUES (" +
            fmt::format("{}, {}, {}, {}, {}, {}, {}, ", ++sl, id, l.item.id, l.qty, l.item.srate, l.item.mrp,
                        money(l.amount)) +
            q(fmt::format("B{:05}", l.item.id)) + ", '')");
      return s;
    });
    report_.detailRows += static_cast<int>(ls.size());
    ++report_.orders;
    report_.changes.push_back({"tblOrder", id, "Insert"});
    return id;
  }

  long long enterStockJournal(db::Connection& b) {
    auto ls = lines();
    const double amt = total(ls);
    const std::string time = billTime();
    const long long type = vchType(5);
    long long id = saveVoucher(b, "tblStockJournal", "InvId", [&](long long id) {
      std::vector<std::string> s;
      s.push_back(
          "INSERT INTO tblStockJournal (VchID, InvId, InvNo, RefNO, AutoNum, SortNumber, InvDate, VchType, MOP, "
          "LedgerId, Party, GrossAmt, BillAmt, NetAmount, UserNarration, Cancelled, CCID, VchTypeid, UserName, "
          "UserID, BillTime, LockMode" +
          syncCols("tblStockJournal") + ") VALUES (" + fmt::format("{0}, {0}, 'J-{0}', '', {0}, {0}, ", id) +
          q(dateText(date_)) + ", 'Stock Journal', 'Cash', 100, 'Opening Stock', " + money(amt) + ", " + money(amt) +
          ", " + money(amt) + ", 'Shelf count', 0, " + std::to_string(cc_) + ", " + std::to_string(type) +
          ", 'cashier', 1, " + q(time) + ", 0" + syncVals("tblStockJournal") + ")");
      int sl = 0;
      for (const auto& l : ls) {
        const bool in = sl % 2 == 0;
        s.push_back(
            "INSERT INTO tblStockJournalDetail (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, UnitId, "
            "Batch, Amount, BatchCode, CCID, GodownID, BatchUnique) VALUES (" +
            fmt::format("{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, ", ++sl, id, l.item.id, in ? l.qty : 0, in ? 0 : l.qty,
                        l.item.prate, l.item.prate, l.item.srate, l.item.mrp, l.item.unitId) +
            q(fmt::format("B{:05}", l.item.id)) + ", " + money(l.amount) + ", " + q(fmt::format("B{:05}", l.item.id)) +
            ", " + std::to_string(cc_) + ", 1, " + q(fmt::format("B{:05}", l.item.id)) + ")");
      }
      return s;
    });
    report_.detailRows += static_cast<int>(ls.size());
    ++report_.stockJournals;
    report_.changes.push_back({"tblStockJournal", id, "Insert"});
    return id;
  }

  long long enterJobCard(db::Connection& b) {
    auto ls = lines();
    const Party& p = party();
    const double amt = total(ls);
    const std::string time = billTime();
    const long long type = vchType(18);
    long long id = saveVoucher(b, "tblJobcard", "JobCardID", [&](long long id) {
      std::vector<std::string> s;
      s.push_back(
          "INSERT INTO tblJobcard (JobCardID, JobCardNo, JobCardDate, JobCardTime, DeliveryDate, VchTypeID, LedgerID, "
          "Party, Complaint, EstimateAmt, EmpID, CCID, UserID, Status, InvID, Cancelled, LockMode" +
          syncCols("tblJobcard") + ") VALUES (" + fmt::format("{0}, 'C-{0}', ", id) + q(dateText(date_)) + ", " +
          q(time) + ", " + q(dateText(date_)) + ", " + std::to_string(type) + ", " + std::to_string(p.id) + ", " +
          q(p.name) + ", " + q("Customer's unit does not start") + ", " + money(amt) + ", 3, " + std::to_string(cc_) +
          ", 1, 'Open', 0, 0, 0" + syncVals("tblJobcard") + ")");
      int sl = 0;
      for (const auto& l : ls)
        s.push_back("INSERT INTO tblJobCardDetail (SlNo, JobCardID, ItemID, Qty, Rate, Amount, WorkDone) VALUES (" +
                    fmt::format("{}, {}, {}, {}, {}, {}, ", ++sl, id, l.item.id, l.qty, l.item.srate, money(l.amount)) +
                    q("Replaced part") + ")");
      return s;
    });
    report_.detailRows += static_cast<int>(ls.size());
    ++report_.jobCards;
    report_.changes.push_back({"tblJobcard", id, "Insert"});
    return id;
  }

  long long enterNote(db::Connection& b) {
    const Party& p = party();
    const double amt = dice_.between(1, 40) * 25;
    const std::string time = billTime();
    const bool receipt = dice_.below(3) != 0;
    const long long type = vchType(receipt ? 7 : 8);
    long long id = saveVoucher(b, "tblNotes", "VchID", [&](long long id) {
      return std::vector<std::string>{
          "INSERT INTO tblNotes (VchID, VchNo, VchDate, BillTime, VchTypeID, LedgerID, CashLedgerID, Amount, "
          "Narration, "
          "RefNo, CCID, UserID, Cancelled, LockMode" +
          syncCols("tblNotes") + ") VALUES (" + fmt::format("{0}, '{1}-{0}', ", id, receipt ? "R" : "P") +
          q(dateText(date_)) + ", " + q(time) + ", " + std::to_string(type) + ", " + std::to_string(p.id) + ", 1, " +
          money(amt) + ", " + q((receipt ? "Received from " : "Paid to ") + p.name) + ", '', " + std::to_string(cc_) +
          ", 1, 0, 0" + syncVals("tblNotes") + ")"};
    });
    ++report_.notes;
    report_.changes.push_back({"tblNotes", id, "Insert"});
    return id;
  }

  // One statement on a central master, cycling through the kinds of change head office makes.
  void masterChange(db::Connection& c, int i) {
    switch (i % 4) {
      case 0: {
        // A price revision over a whole category: several rows, one statement.
        int category = dice_.between(1, 4);
        c.execute("UPDATE tblItemMaster SET Srate = Srate + 1, MRP = MRP + 1 WHERE CategoryID = " +
                  std::to_string(category));
        report_.changes.push_back({"tblItemMaster", category, "Update"});
        break;
      }
      case 1: {
        long long id = nextId(c, "tblLedger", "LID");
        c.execute(
            "INSERT INTO tblLedger (LID, LName, LAliasName, AccountGroupID, AreaID, OpeningBalance, CreditLimit, "
            "CreatedDate, ActiveStatus) VALUES (" +
            std::to_string(id) + ", " + q(fmt::format("D'Mello Stores {}", id)) + ", " +
            q(fmt::format("D'MELLO STORES {}", id)) + ", 5, 1, 0, 0, " + q(dateText(date_)) + ", 1)");
        report_.changes.push_back({"tblLedger", id, "Insert"});
        break;
      }
      case 2: {
        int area = dice_.between(1, 4);
        c.execute("UPDATE tblArea SET AreaName = " + q(fmt::format("Zone {} (revised {})", area, i)) +
                  " WHERE AreaID = " + std::to_string(area));
        report_.changes.push_back({"tblArea", area, "Update"});
        break;
      }
      default: {
        long long id = nextId(c, "tblItemMaster", "ItemID");
        const Item& base = item();
        c.execute(
            "INSERT INTO tblItemMaster (ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, "
            "ProductType, Unit, UnitID, TaxClassID, HSNID, BlnExpiryItem, ItemCRate, PRate, Srate, MRP, MinQty, "
            "MaxQty, CreatedDate, ActiveStatus) VALUES (" +
            std::to_string(id) + ", " + q(fmt::format("IT{:04}", id)) + ", " + q(fmt::format("New Item {}", id)) +
            ", '', 1, 1, 'Goods', 'NOS', 1, 2, 1, 0, " +
            fmt::format("{}, {}, {}, {}", base.prate, base.prate, base.srate, base.mrp) + ", 5, 500, " +
            q(dateText(date_)) + ", 1)");
        items_.push_back({id, base.srate, base.mrp, base.prate, 1});
        report_.changes.push_back({"tblItemMaster", id, "Insert"});
        break;
      }
    }
    ++report_.masterStatements;
  }

  // A board-rate batch: one new VchID, a rate row per item, each row saved by its own statement.
  void boardRateBatch(db::Connection& c) {
    long long vchId = nextId(c, "tblBoardRateMaster", "VchID");
    int n = dice_.between(2, 3);
    for (int k = 0; k < n; ++k) {
      const Item& it = item();
      double rate = it.srate + dice_.between(0, 5);
      c.execute("INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES (" +
                q(dateText(date_)) + ", " + fmt::format("{}, {}, {}, {}, {}", it.id, rate, it.mrp, vchId, vchId) + ")");
    }
    report_.changes.push_back({"tblBoardRateMaster", vchId, "InsertUpdate"});
    ++report_.boardRateBatches;
  }

  // The value as a literal of an INSERT statement.
  static std::string literal(const db::Value& v) {
    if (v.isNull()) return "NULL";
    if (v.isDateTime()) return q(v.toDateTime()->iso());
    if (v.isText()) return q(v.toString());
    return v.toString();
  }

  // A line's INSERT statement, its quantity (and amount) set to `qty` when given.
  std::string lineInsert(const Shape& s, const db::Recordset& rs, std::size_t r, std::optional<double> qty) {
    std::string cols, vals;
    const std::string qtyColumn = quantityColumn(rs, r);
    const double rate = rs.at(r, s.rate).toDouble();
    for (std::size_t c = 0; c < rs.fields.size(); ++c) {
      const std::string& name = rs.fields[c].name;
      std::string v = literal(rs.at(r, c));
      if (qty && text::iequals(name, qtyColumn)) v = fmt::format("{}", *qty);
      if (qty && text::iequals(name, "Amount")) v = money(*qty * rate);
      cols += (cols.empty() ? "" : ", ") + name;
      vals += (vals.empty() ? "" : ", ") + v;
    }
    return fmt::format("INSERT INTO {} ({}) VALUES ({})", s.detail, cols, vals);
  }

  // The quantity column of a line: Qty, or a stock journal line's QtyIn or QtyOut (whichever it moves).
  static std::string quantityColumn(const db::Recordset& rs, std::size_t r) {
    if (rs.fieldIndex("Qty") >= 0) return "Qty";
    return rs.at(r, "QtyIn").toDouble() != 0 ? "QtyIn" : "QtyOut";
  }

  std::string editLines(db::Connection& b, const Shape& s, long long id, LineEdit how) {
    const std::string of = fmt::format(" WHERE {} = {}", s.key, id);
    auto rs = b.query(fmt::format("SELECT * FROM {}{} ORDER BY SlNo", s.detail, of));
    if (rs.empty()) return "no lines";
    const std::size_t r = static_cast<std::size_t>(dice_.below(static_cast<int>(rs.size())));
    const long long slNo = rs.at(r, "SlNo").toInt();
    const std::string qtyColumn = quantityColumn(rs, r);
    const double qty = rs.at(r, qtyColumn).toDouble() + dice_.between(1, 3);
    std::string what;
    switch (how) {
      case LineEdit::None:
        return {};
      case LineEdit::Quantity:
        b.execute(fmt::format("UPDATE {} SET {} = {}, Amount = {}{} AND SlNo = {}", s.detail, qtyColumn, qty,
                              money(qty * rs.at(r, s.rate).toDouble()), of, slNo));
        what = fmt::format("line {} {} {}", slNo, qtyColumn, qty);
        break;
      case LineEdit::Reinsert:
        b.execute(fmt::format("DELETE FROM {}{} AND SlNo = {}", s.detail, of, slNo));
        b.execute(lineInsert(s, rs, r, qty));
        what = fmt::format("line {} deleted and inserted again with {} {}", slNo, qtyColumn, qty);
        break;
      case LineEdit::ReplaceAll:
        b.execute(fmt::format("DELETE FROM {}{}", s.detail, of));
        for (std::size_t i = 0; i < rs.size(); ++i)
          b.execute(lineInsert(s, rs, i, i == r ? std::optional<double>(qty) : std::nullopt));
        what = fmt::format("all {} lines saved again, line {} {} {}", rs.size(), slNo, qtyColumn, qty);
        break;
    }
    const double sum = b.query(fmt::format("SELECT SUM(Amount) FROM {}{}", s.detail, of)).at(0, 0).toDouble();
    std::string set;
    for (const char* c : s.totals) set += fmt::format("{}{} = {}", set.empty() ? "" : ", ", c, money(sum));
    if (!set.empty()) b.execute(fmt::format("UPDATE {} SET {}{}", s.header, set, of));
    return what;
  }

  db::Connection* branch_;
  db::Connection* central_;
  SimulationOptions o_;
  Dice dice_;
  SimulationReport report_;
  db::DateTime date_{2026, 1, 1};
  int cc_ = 2;
  int minute_ = 9 * 60;
  int lastMinute_ = 24 * 60 - 1;  // the latest bill time of the day entered
  std::optional<std::string> billTime_;  // set: every voucher is billed at this time
  int editNo_ = 0;
  std::vector<Item> items_;
  std::vector<Party> parties_;
  std::map<int, long long> vchTypes_;
  std::map<std::string, bool> syncStat_;
};

}  // namespace

SimulationReport simulateErpActivity(db::Connection* branch, db::Connection* central,
                                     const SimulationOptions& options) {
  return Simulation(branch, central, options).run();
}

const char* headerTable(VoucherFamily f) {
  return Simulation::shape(f).header;
}
const char* keyColumn(VoucherFamily f) {
  return Simulation::shape(f).key;
}

struct BranchErp::Impl {
  Simulation sim;
  Impl(db::Connection& branch, int costCentre, unsigned seed) : sim(&branch, nullptr, options(costCentre, seed)) {}
  static SimulationOptions options(int costCentre, unsigned seed) {
    SimulationOptions o;
    o.costCentreId = costCentre;
    o.seed = seed;
    return o;
  }
};

BranchErp::BranchErp(db::Connection& branch, int costCentre, unsigned seed)
    : impl_(std::make_unique<Impl>(branch, costCentre, seed)) {
  impl_->sim.prepareDesk();
}
BranchErp::~BranchErp() = default;

EnteredVoucher BranchErp::enter(VoucherFamily family, const db::DateTime& at) {
  return impl_->sim.enterOne(family, at);
}
std::string BranchErp::edit(VoucherFamily family, long long id, LineEdit lines) {
  return impl_->sim.editOne(family, id, lines);
}
void BranchErp::remove(VoucherFamily family, long long id) {
  impl_->sim.removeOne(family, id);
}

}  // namespace erpsync::testbed
