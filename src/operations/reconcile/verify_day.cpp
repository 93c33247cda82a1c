// The day's verification. Each side is read on its own connection (no linked server): the headers of
// the day with every column, and per voucher its line count and line sums. Vouchers are matched by
// what the upload's receipt check matches them by: printed number and voucher type (the date and the
// cost centre being fixed), letter case aside.
#include "reconcile/verify_day.h"

#include <cmath>
#include <map>

#include "db/connection.h"
#include "reconcile/voucher_type_names.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync::reconcile {

namespace {

constexpr const char* kRetiredMark = "#DELETEDFROMBRANCH#";

// The line columns summed per voucher, by detail table.
std::vector<std::string> summedColumns(const std::string& detail) {
  const std::string d = text::upper(detail);
  if (d == "TBLSALESITEM") return {"Qty", "FreeQty", "Amount"};
  if (d == "TBLSTOCKJOURNALDETAIL") return {"QtyIn", "QtyOut", "Amount"};
  if (d == "TBLJOBCARDDETAIL" || d == "TBLORDERITEM") return {"Qty", "Amount"};
  return {};
}

// Equal as the upload copies them: an empty text goes up as a blank and an empty number as 0, so those
// count as equal; numbers to the cent; texts exactly, trailing blanks aside.
bool sameValue(const db::Value& a, const db::Value& b) {
  if (a.isNull() && b.isNull()) return true;
  if (a.isDateTime() || b.isDateTime()) return a.toDateTime() == b.toDateTime();
  if (a.isNumber() || b.isNumber()) return std::fabs(a.toDouble() - b.toDouble()) < 0.005;
  return text::trimRight(a.toString()) == text::trimRight(b.toString());
}

// Dates as the window shows dates; a time of day only when there is one.
std::string shown(const db::Value& v) {
  if (v.isNull()) return "(none)";
  if (auto d = v.toDateTime(); v.isDateTime() && d) {
    if (*d == d->dateOnly()) return ddMMMyyyy(*d);
    return ddMMMyyyy(*d) + " " + d->iso().substr(11, 8);
  }
  return v.toString();
}

// The vouchers that go up, to compare like with like on both sides: the chosen types, else every type
// the upload sends.
std::string number(double d) {
  return db::Value(d).toString();
}

struct Lines {
  long long count = 0;
  std::vector<double> sums;
};

// One side of one family for the day.
struct Side {
  db::Recordset headers;
  std::multimap<std::string, std::size_t> byVoucher;  // number and type -> header row
  std::map<long long, Lines> lines;                   // voucher key -> its lines
};

std::string voucherKey(const std::string& number, long long type, const db::Value& date) {
  const auto d = date.toDateTime();
  return text::upper(text::trim(number)) + "|" + std::to_string(type) + "|" +
         (d ? std::to_string(d->dateOnly().dayNumber()) : date.toString());
}

Side readSide(db::Connection& c, const sync::VoucherKind& k, const std::string& where,
              const std::vector<std::string>& sums) {
  Side s;
  s.headers = c.query("select * from " + k.table + " s where " + where + " order by s." + k.key);
  for (std::size_t r = 0; r < s.headers.size(); ++r)
    s.byVoucher.emplace(voucherKey(s.headers.at(r, k.numberColumn).toString(), s.headers.at(r, "VchTypeID").toInt(),
                                   s.headers.at(r, k.dateColumn)),
                        r);
  if (k.detail.empty()) return s;
  std::string cols;
  for (std::size_t i = 0; i < sums.size(); ++i) cols += ", sum(isnull(d." + sums[i] + ",0)) as S" + std::to_string(i);
  const db::Recordset rs =
      c.query("select d." + k.key + " as K, count(*) as N" + cols + " from " + k.detail + " d inner join " + k.table +
              " s on s." + k.key + "=d." + k.key + " where " + where + " group by d." + k.key);
  for (std::size_t r = 0; r < rs.size(); ++r) {
    Lines l;
    l.count = rs.at(r, "N").toInt();
    for (std::size_t i = 0; i < sums.size(); ++i) l.sums.push_back(rs.at(r, 2 + i).toDouble());
    s.lines[rs.at(r, "K").toInt()] = l;
  }
  return s;
}

// What differs between a branch voucher and its one central copy; "" when nothing does.
std::string compare(const sync::VoucherKind& k, const Side& b, std::size_t br, const Side& c, std::size_t cr,
                    const std::vector<std::string>& sums) {
  std::string out;
  auto add = [&out](const std::string& what) { out += (out.empty() ? "" : "; ") + what; };
  for (std::size_t f = 0; f < b.headers.fields.size(); ++f) {
    const std::string& name = b.headers.fields[f].name;
    // The key is renumbered by the upload, the identity numbered by head office, the two marks are
    // written on each side after the copy, and the lock is the branch's own (day start and day end set
    // it on the branch's vouchers only).
    if (text::iequals(name, k.key) || text::iequals(name, k.identity) || text::iequals(name, "SyncStat") ||
        text::iequals(name, "ServInvID") || text::iequals(name, "LockMode"))
      continue;
    const int cf = c.headers.fieldIndex(name);
    if (cf < 0) continue;
    const db::Value& bv = b.headers.at(br, f);
    const db::Value& cv = c.headers.at(cr, static_cast<std::size_t>(cf));
    if (!sameValue(bv, cv)) add(name + " " + shown(bv) + " / " + shown(cv));
  }
  if (k.detail.empty()) return out;
  auto linesOf = [&k](const Side& s, std::size_t r) {
    auto it = s.lines.find(s.headers.at(r, k.key).toInt());
    return it == s.lines.end() ? Lines{} : it->second;
  };
  const Lines bl = linesOf(b, br), cl = linesOf(c, cr);
  if (bl.count != cl.count) add("lines " + std::to_string(bl.count) + " / " + std::to_string(cl.count));
  for (std::size_t i = 0; i < sums.size(); ++i) {
    const double x = i < bl.sums.size() ? bl.sums[i] : 0, y = i < cl.sums.size() ? cl.sums[i] : 0;
    if (std::fabs(x - y) >= 0.005) add("sum of " + sums[i] + " " + number(x) + " / " + number(y));
  }
  return out;
}

// from: the first date compared ("" for the working date alone).
void verifyFamily(SyncContext& ctx, const sync::VoucherKind& k, const std::string& day, const std::string& from,
                  const std::string& cc, const std::string& types, VerifyOutcome& out) {
  const std::vector<std::string> sums = summedColumns(k.detail);
  const std::string dates = from.empty() ? "s." + k.dateColumn + "='" + day + "'"
                                         : "s." + k.dateColumn + ">='" + from + "' and s." + k.dateColumn + "<='" +
                                               day + "'";
  const std::string where = dates + " and s.CCID=" + cc + types;
  const Side b = readSide(ctx.local(), k, where, sums);
  const Side c = readSide(ctx.web(), k, where + " and isnull(s." + k.markColumn + ",'')<>'" + kRetiredMark + "'", sums);

  auto report = [&](const Side& s, std::size_t r, Finding f, std::string detail) {
    VoucherDifference d;
    d.table = k.table;
    d.number = s.headers.at(r, k.numberColumn).toString();
    const auto date = s.headers.at(r, k.dateColumn).toDateTime();
    d.date = date ? ddMMMyyyy(*date) : day;
    d.type = s.headers.at(r, "VchTypeID").toInt();
    d.finding = f;
    d.detail = std::move(detail);
    out.differences.push_back(std::move(d));
  };

  for (std::size_t r = 0; r < b.headers.size(); ++r) {
    ++out.compared;
    ctx.host.doEvents();
    const std::string key = voucherKey(b.headers.at(r, k.numberColumn).toString(), b.headers.at(r, "VchTypeID").toInt(),
                                       b.headers.at(r, k.dateColumn));
    const auto copies = c.byVoucher.equal_range(key);
    const auto n = std::distance(copies.first, copies.second);
    const bool uploaded = b.headers.at(r, "SyncStat").toInt() == 1;
    if (n > 1)
      report(b, r, Finding::TwiceCentrally, std::to_string(n) + " live copies at head office");
    else if (!uploaded)
      report(b, r, Finding::Waiting, n == 1 ? "a copy is at head office" : "");
    else if (n == 0)
      report(b, r, Finding::MissingCentrally, "");
    else if (auto what = compare(k, b, r, c, copies.first->second, sums); !what.empty())
      report(b, r, Finding::Differs, what);
  }
  for (const auto& [key, row] : c.byVoucher)
    if (b.byVoucher.find(key) == b.byVoucher.end()) report(c, row, Finding::OnlyCentrally, "");
}

}  // namespace

std::string findingText(Finding f) {
  switch (f) {
    case Finding::Differs:
      return "differs";
    case Finding::MissingCentrally:
      return "missing at head office";
    case Finding::OnlyCentrally:
      return "only at head office";
    case Finding::TwiceCentrally:
      return "twice at head office";
    case Finding::Waiting:
      return "waiting for upload";
  }
  return {};
}

VerifyOutcome VerifyDay(SyncContext& ctx) {
  return VerifyDay(ctx, ctx.day());
}

namespace {

VerifyOutcome verify(SyncContext& ctx, const WorkingDay& day, const std::string& from) {
  VerifyOutcome out;
  try {
    const std::string date = ddMMMyyyy(day.date);
    const std::string cc = std::to_string(day.costCentreId);
    const std::string types = uploadedVoucherTypesFilter(day, "s.VchTypeID");
    for (const auto& k : sync::voucherKinds()) {
      ctx.status().stage("Verifying " + k.table);
      verifyFamily(ctx, k, date, from, cc, types, out);
    }
  } catch (const std::exception& e) {
    out.failed = true;
    ctx.notice(std::string(e.what()) + " Verify");
  }
  if (!out.differences.empty()) {
    const auto names = voucherTypeNames(ctx);
    for (auto& d : out.differences)
      if (auto n = names.find(d.type); n != names.end()) d.typeName = n->second;
  }
  ctx.status().stage("");
  return out;
}

}  // namespace

VerifyOutcome VerifyDay(SyncContext& ctx, const WorkingDay& day) {
  return verify(ctx, day, "");
}

VerifyOutcome VerifyDays(SyncContext& ctx, const WorkingDay& day, const db::DateTime& from) {
  return verify(ctx, day, ddMMMyyyy(from));
}

}  // namespace erpsync::reconcile
