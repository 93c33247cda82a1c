// Brings head office's board rates (dated selling rate and MRP per item) into the branch: the branch copy of
// tblBoardRateMaster, every stock row of the item and the item master.
#include "stock/import_board_rate_updator.h"

#include <cctype>

#include "db/connection.h"
#include "db/recordset.h"
#include "db/sql_literal.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "sync/field_literal.h"
#include "util/text.h"

namespace erpsync::stock {

namespace {

// A whole number for a statement, 0 for NULL: item ids, voucher ids and numbers of the board-rate list.
std::string wholeOrZero(const db::Value& v) {
  return db::integerLiteral(v.toInt());
}

// A rate as the server reads it under every language setting (NULL reads as 0).
std::string rate(const db::Value& v) {
  return db::decimalLiteral(v.toDouble());
}

std::string isoDay(const db::DateTime& d) {
  return db::sqlQuote(d.dateOnly().iso().substr(0, 10));
}

// "05/Dec/2026" (the list's date form) to a date.
std::optional<db::DateTime> dayMonthYear(std::string_view t) {
  if (t.size() != 11 || t[2] != '/' || t[6] != '/') return std::nullopt;
  auto digits = [&](std::size_t at, std::size_t n, int& out) {
    out = 0;
    for (std::size_t i = at; i < at + n; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
      out = out * 10 + (t[i] - '0');
    }
    return true;
  };
  db::DateTime d;
  if (!digits(0, 2, d.day) || !digits(7, 4, d.year)) return std::nullopt;
  d.month = 0;
  for (int m = 1; m <= 12; ++m)
    if (text::iequals(t.substr(3, 3), monthAbbreviation(m))) d.month = m;
  if (d.month == 0 || !d.valid()) return std::nullopt;
  return d;
}

// Applies the central rows to the branch: the rate row, the item's stock rows and its master.
void applyRates(SyncContext& ctx, db::Connection& local, const db::Recordset& rs) {
  for (std::size_t r = 0; r < rs.size(); ++r) {
    const std::string item = wholeOrZero(rs.at(r, "ItemID"));
    const std::string s = rate(rs.at(r, "SRate"));
    const std::string m = rate(rs.at(r, "MRP"));
    local.execute(" INSERT INTO [tblBoardRateMaster] ([Vchdate],[ItemID] ,[SRate] ,[MRP],VchID,VchNo) Values (" +
                  sync::FieldLiteral(rs.at(r, "Vchdate"), db::adDBTimeStamp) + "," + item + "," + s + "," + m + "," +
                  wholeOrZero(rs.at(r, "VchID")) + "," + wholeOrZero(rs.at(r, "VchNo")) + " )");
    local.execute("Update tblstock Set Srate=" + s + ",bMRP=" + m + " ,bSrate=" + s + " where ItemID=" + item);
    local.execute("Update tblItemMaster Set MRP=" + m + ",Srate=" + s + " where ItemID=" + item);
    ctx.status().status(" BOARD UPDATOR " + item + " DATE : ");
    ctx.host.doEvents();
  }
}

// The central rows a partial load brings (see the header); throws DbError when the entry names no date.
db::Recordset partialRows(SyncContext& ctx, const std::string& dateString, const std::string& changedIdOnly) {
  const std::string columns = "ID, Vchdate, ItemID, SRate, MRP, CUSTOMFIELD1,VchID,VchNo";
  const std::string id = text::trim(changedIdOnly, text::kWhitespace);
  if (!id.empty()) {
    return ctx.web().query("Select " + columns + " FROM [tblBoardRateMaster] where id=" +
                           std::to_string(static_cast<long long>(db::leadingNumber(id))) + " ORDER BY Vchdate, ID");
  }
  const auto day = boardRateEntryDate(dateString);
  if (!day) throw db::DbError("The entry '" + dateString + "' names no board-rate date");
  const db::DateTime next = db::DateTime::fromDayNumber(day->dayNumber() + 1);
  return ctx.web().query("Select " + columns + " FROM [tblBoardRateMaster] where vchdate>=" + isoDay(*day) +
                         " and vchdate<" + isoDay(next) + " ORDER BY Vchdate, ID");
}

}  // namespace

std::optional<db::DateTime> boardRateEntryDate(const std::string& entry) {
  const auto dash = entry.find(" - ");
  std::string t = dash == std::string::npos ? entry : entry.substr(dash + 3);
  t = text::trim(t.substr(0, t.find(" : ")), text::kWhitespace);
  if (auto d = dayMonthYear(t)) return d;
  if (auto d = db::DateTime::fromIso(t); d && d->valid()) return d->dateOnly();
  return std::nullopt;
}

bool importBoardRates(SyncContext& ctx, const std::string& dateString, const std::string& changedIdOnly) {
  const bool full = text::trim(dateString, text::kWhitespace).empty();
  try {
    // Head office is read first: a failed read leaves the branch table untouched.
    const db::Recordset rs =
        full
            ? ctx.web().query(
                  "SELECT     ID, Vchdate, ItemID, SRate, MRP, CUSTOMFIELD1,VchID,VchNo From tblBoardRateMaster WHERE  "
                  "   (Vchdate = (SELECT     MAX(Vchdate) AS Expr1 FROM          tblBoardRateMaster AS "
                  "tblBoardRateMaster_1 WHERE      (ItemID = tblBoardRateMaster.ItemID))) ORDER BY Vchdate ")
            : partialRows(ctx, dateString, changedIdOnly);
    auto& local = ctx.local();
    db::Transaction t(local);
    if (full) {
      local.execute(" DELETE FROM tblBoardRateMaster ");
    } else {
      // The items loaded keep only the rates loaded now.
      for (std::size_t r = 0; r < rs.size(); ++r)
        local.execute("DELETE FROM tblBoardRateMaster WHERE ItemID=" + wholeOrZero(rs.at(r, "ItemID")));
    }
    applyRates(ctx, local, rs);
    t.commit();
    ctx.log("Board Rate Import", std::to_string(rs.size()) + " board rates applied");
    return true;
  } catch (const db::DbError& e) {
    ctx.log("Board Rate Import", e.description());
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Critical);
    return false;
  }
}

}  // namespace erpsync::stock
