#include "checker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "oracle.h"
#include "util/text.h"

namespace erpsync::faultcheck {

namespace {

std::string render(const db::Recordset& rs, std::size_t r, const std::vector<std::size_t>& cols) {
  std::string line;
  for (std::size_t c : cols) {
    const db::Value& v = rs.at(r, c);
    line += rs.fields[c].name + "=" + (v.isNull() ? std::string("<null>") : v.toString()) + "|";
  }
  return line;
}

std::vector<std::size_t> allColumns(const db::Recordset& rs, const std::string& except = {}) {
  std::vector<std::size_t> cols;
  for (std::size_t i = 0; i < rs.fields.size(); ++i)
    if (except.empty() || !text::iequals(rs.fields[i].name, except)) cols.push_back(i);
  return cols;
}

// A master value as it compares across the sides: NULL, blank text and zero are the same.
std::string normalized(const db::Value& v) {
  if (v.isNull()) return {};
  std::string s = text::trim(v.toString(), text::kWhitespace);
  if (!s.empty() && s.find_first_not_of("0.-") == std::string::npos && v.toDouble() == 0) return {};
  return s;
}

std::string money(const db::Value& v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v.toDouble());
  return buf;
}

long long count(db::Connection& c, const std::string& sql) {
  auto rs = c.query(sql);
  return rs.empty() ? 0 : rs.at(0, 0).toInt();
}

}  // namespace

const std::vector<Family>& families() {
  static const std::vector<Family> f{
      {"tblSales", "tblSalesItem", "InvID", "InvNo", "InvDate", "Party"},
      {"tblNotes", "", "VchID", "VchNo", "VchDate", "Narration"},
      {"tblStockJournal", "tblStockJournalDetail", "InvID", "InvNo", "InvDate", "Party"},
      {"tblJobcard", "tblJobCardDetail", "JobCardID", "JobCardNo", "JobCardDate", "Party"},
      {"tblOrder", "tblOrderItem", "InvID", "InvNo", "InvDate", "Party"},
  };
  return f;
}

Rows Checker::rows(db::Connection& c, const std::string& sql, const std::string& except) {
  auto rs = c.query(sql);
  Rows out;
  const auto cols = allColumns(rs, except);
  for (std::size_t r = 0; r < rs.size(); ++r) out.push_back(render(rs, r, cols));
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> Checker::vouchers(bool drained) {
  testbed::oracle::Options o;
  o.costCentre = cc_;
  o.strong = drained;
  return testbed::oracle::lines(testbed::oracle::check(branch_, central_, o));
}

std::vector<std::string> Checker::transfers(bool drained) {
  std::vector<std::string> v;
  const std::string cc = std::to_string(cc_);
  auto sent = central_.query(
      "SELECT InvID, VchTypeID, isnull(CustomField1,'') AS M FROM tblStockJournal WHERE DestCCID = " + cc +
      " AND isnull(CCID,0) <> " + cc);
  for (std::size_t r = 0; r < sent.size(); ++r) {
    const std::string id = sent.at(r, "InvID").toString();
    const std::string who = "transfer " + id + " of type " + sent.at(r, "VchTypeID").toString();
    auto copies = branch_.query("SELECT InvID FROM tblStockJournal WHERE VchTypeID = 1005 AND RefNo = '" + id +
                                "' AND ProfileID = " + sent.at(r, "VchTypeID").toString());
    const bool marked = sent.at(r, "M").toString() == "DOWNLAODED";
    if (copies.size() > 1)
      v.push_back("transfer-once: " + who + " is at the branch " + std::to_string(copies.size()) + " times");
    if (marked && copies.empty()) v.push_back("transfer-marks: " + who + " is marked imported but the branch lacks it");
    if (drained && (copies.size() != 1 || !marked))
      v.push_back("drained: " + who + " is at the branch " + std::to_string(copies.size()) + " times, " +
                  (marked ? "marked" : "not marked") + " after recovery");
    for (std::size_t c = 0; c < copies.size(); ++c) {
      const std::string j = copies.at(c, 0).toString();
      if (count(branch_, "SELECT count(*) FROM tblStockJournalDetail WHERE InvID = " + j) == 0)
        v.push_back("no-half: " + who + " is at the branch as journal " + j + " without lines");
    }
  }
  return v;
}

Snapshot Checker::othersAtCentral() {
  Snapshot s;
  const std::string cc = std::to_string(cc_);
  for (const Family& f : families()) {
    s[f.header] = rows(central_, "SELECT * FROM " + f.header + " WHERE isnull(CCID,0) <> " + cc, "CustomField1");
    if (!f.lines.empty())
      s[f.lines] = rows(central_, "SELECT L.* FROM " + f.lines + " L INNER JOIN " + f.header + " H ON H." + f.key +
                                      " = L." + f.key + " WHERE isnull(H.CCID,0) <> " + cc);
  }
  for (const char* t : {"tblStock", "tblStockHistory", "tblVoucher"})
    s[t] = rows(central_, std::string("SELECT * FROM ") + t + " WHERE isnull(CCID,0) <> " + cc);
  return s;
}

Snapshot Checker::boardRatesAtCentral() {
  Snapshot s;
  auto rs = central_.query(
      "SELECT ID, ItemID, Vchdate, SRate, MRP FROM tblBoardRateMaster B WHERE Vchdate = (SELECT MAX(Vchdate) FROM "
      "tblBoardRateMaster X WHERE X.ItemID = B.ItemID) ORDER BY ItemID, Vchdate, ID");
  Rows& rates = s["board rates"];
  Rows& items = s["item rates"];
  for (std::size_t r = 0; r < rs.size(); ++r) {
    rates.push_back("item " + rs.at(r, "ItemID").toString() + " on " + rs.at(r, "Vchdate").toString() + ": " +
                    money(rs.at(r, "SRate")) + " / " + money(rs.at(r, "MRP")));
    if (r + 1 == rs.size() || rs.at(r + 1, "ItemID").toString() != rs.at(r, "ItemID").toString())
      items.push_back("item " + rs.at(r, "ItemID").toString() + ": " + money(rs.at(r, "SRate")) + " / " +
                      money(rs.at(r, "MRP")));
  }
  std::sort(rates.begin(), rates.end());
  std::sort(items.begin(), items.end());
  return s;
}

Snapshot Checker::boardRatesAtBranch() {
  Snapshot s;
  auto rs = branch_.query("SELECT ItemID, Vchdate, SRate, MRP FROM tblBoardRateMaster");
  Rows& rates = s["board rates"];
  for (std::size_t r = 0; r < rs.size(); ++r)
    rates.push_back("item " + rs.at(r, "ItemID").toString() + " on " + rs.at(r, "Vchdate").toString() + ": " +
                    money(rs.at(r, "SRate")) + " / " + money(rs.at(r, "MRP")));
  auto items = branch_.query(
      "SELECT ItemID, Srate, MRP FROM tblItemMaster WHERE ItemID IN (SELECT ItemID FROM tblBoardRateMaster)");
  Rows& ir = s["item rates"];
  for (std::size_t r = 0; r < items.size(); ++r)
    ir.push_back("item " + items.at(r, "ItemID").toString() + ": " + money(items.at(r, "Srate")) + " / " +
                 money(items.at(r, "MRP")));
  std::sort(rates.begin(), rates.end());
  std::sort(ir.begin(), ir.end());
  return s;
}

Snapshot Checker::tables(db::Connection& side, const std::vector<std::string>& names) {
  Snapshot s;
  for (const std::string& t : names) s[t] = rows(side, "SELECT * FROM " + t);
  return s;
}

Snapshot Checker::branchStock() {
  return tables(branch_, {"tblStock", "tblStockHistory", "tblVoucher", "tblStockJournal", "tblStockJournalDetail"});
}

Snapshot Checker::stockFigures(db::Connection& side) {
  Snapshot s;
  const std::string cc = std::to_string(cc_);
  auto items =
      side.query("SELECT ItemID, SUM(isnull(QtyIN,0) - isnull(QtyOut,0)) AS Q FROM tblStockHistory WHERE CCID = " + cc +
                 " GROUP BY ItemID");
  Rows& r = s["stock by item"];
  for (std::size_t i = 0; i < items.size(); ++i) {
    const double q = std::round(items.at(i, 1).toDouble() * 1000) / 1000;
    if (q != 0) r.push_back("item " + items.at(i, 0).toString() + " qty " + std::to_string(q));
  }
  std::sort(r.begin(), r.end());
  auto ledgers =
      side.query("SELECT DrLID, SUM(isnull(AmountD,0) - isnull(AmountC,0)) AS A FROM tblVoucher WHERE CCID = " + cc +
                 " AND DrLID > 0 GROUP BY DrLID");
  Rows& l = s["balance by ledger"];
  for (std::size_t i = 0; i < ledgers.size(); ++i) {
    const double a = std::round(ledgers.at(i, 1).toDouble() * 100) / 100;
    if (a != 0) l.push_back("ledger " + ledgers.at(i, 0).toString() + " balance " + std::to_string(a));
  }
  std::sort(l.begin(), l.end());
  return s;
}

std::vector<std::string> Checker::mastersEqual(const std::vector<std::string>& tables) {
  // The synchroniser's own columns and the ERP's upload flag are bookkeeping, not master data.
  static const std::set<std::string> ignored{"syncstat", "servinvid", "synchstat"};
  std::vector<std::string> v;
  for (const std::string& t : tables) {
    auto b = branch_.query("SELECT * FROM " + t);
    auto c = central_.query("SELECT * FROM " + t);
    std::vector<std::size_t> bc, cc;
    for (std::size_t i = 0; i < b.fields.size(); ++i) {
      const std::string name = text::lower(b.fields[i].name);
      if (ignored.count(name)) continue;
      const int j = c.fieldIndex(name);
      if (j < 0) continue;
      bc.push_back(i);
      cc.push_back(static_cast<std::size_t>(j));
    }
    Rows br, cr;
    // Both sides rendered under the branch's column names, so they compare line by line.
    auto line = [&](const db::Recordset& rs, std::size_t r, const std::vector<std::size_t>& cols) {
      std::string out;
      for (std::size_t k = 0; k < cols.size(); ++k)
        out += b.fields[bc[k]].name + "=" + normalized(rs.at(r, cols[k])) + "|";
      return out;
    };
    for (std::size_t r = 0; r < b.size(); ++r) br.push_back(line(b, r, bc));
    for (std::size_t r = 0; r < c.size(); ++r) cr.push_back(line(c, r, cc));
    std::sort(br.begin(), br.end());
    std::sort(cr.begin(), cr.end());
    auto d = differences("masters-equal", Snapshot{{t, cr}}, Snapshot{{t, br}});
    v.insert(v.end(), d.begin(), d.end());
  }
  return v;
}

std::vector<std::string> Checker::differences(const std::string& rule, const Snapshot& expected,
                                              const Snapshot& actual) {
  std::vector<std::string> v;
  for (const auto& [name, want] : expected) {
    auto it = actual.find(name);
    const Rows none;
    const Rows& got = it == actual.end() ? none : it->second;
    if (want == got) continue;
    Rows missing, extra;
    std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
    std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
    std::string line = rule + ": " + name + ": " + std::to_string(missing.size()) + " rows missing, " +
                       std::to_string(extra.size()) + " rows unexpected";
    if (!missing.empty()) line += "; first missing: " + missing.front();
    if (!extra.empty()) line += "; first unexpected: " + extra.front();
    v.push_back(line);
  }
  return v;
}

}  // namespace erpsync::faultcheck
