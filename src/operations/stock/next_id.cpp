// Numbering and batch codes for stock posting: the next free number of a column, the base of a batch
// code, and batch codes built from the ERP's prefix and suffix.
#include "stock/next_id.h"

#include <fmt/format.h>

#include "db/connection.h"
#include "form/host.h"
#include "shared/sync_context.h"
#include "util/text.h"

namespace erpsync::stock {

std::optional<long long> NextId(SyncContext& ctx, const std::string& table, const std::string& column,
                                const std::string& filter) {
  try {
    std::string sql = "Select max(" + column + ") + 1 as MAxid from " + table;
    if (!filter.empty()) sql += " where " + filter;
    auto rs = ctx.local().query(sql);
    if (rs.empty()) return 1;
    const db::Value& v = rs.at(0, "MaxID");
    return v.isNull() ? 1 : v.toInt();
  } catch (const db::DbError& e) {
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
  }
  return std::nullopt;
}

std::string BaseBatchCode(const std::string& code) {
  auto at = code.find('@');
  return at == std::string::npos ? code : code.substr(0, at);
}

namespace {

// One side of a batch code (prefix or suffix) with its token expanded.
std::string batchCodePart(const std::string& setting, const DateTime& now, const DateTime& vchDate) {
  if (setting == "<YEARMONTH>") {
    // The year as a letter counted from "A" by its last three digits (2018 gives "S"); the month is the
    // ERP's reference month, which nothing in this program sets, so it always reads 12.
    const char letter = static_cast<char>(65 + now.year % 1000);
    return std::string(1, letter) + "12";
  }
  if (setting == "<INVDATE>") return fmt::format("{:02}/{:02}/{:02}", vchDate.day, vchDate.month, vchDate.year % 100);
  return setting;
}

}  // namespace

std::string MakeBatchCode(SyncContext& ctx, const std::string& number, const DateTime& vchDate) {
  const DateTime now = ctx.clock.now();
  const auto& s = ctx.erpSettings;
  return text::trim(batchCodePart(s.BatchCodePrefix, now, vchDate)) + text::trim(number) +
         text::trim(batchCodePart(s.BatchCodeSuffix, now, vchDate));
}

}  // namespace erpsync::stock
