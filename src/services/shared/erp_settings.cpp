// The ERP's switches from tblAppSettings, and single settings by key.
#include "shared/erp_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <functional>
#include <vector>

#include "db/connection.h"
#include "form/host.h"
#include "util/text.h"

namespace erpsync {

namespace {

bool flag1(const std::string& v) {
  return db::leadingNumber(v) == 1;
}
bool flagTrue(const std::string& v) {
  return text::upper(v) == "TRUE";
}
long long whole(const std::string& v) {
  double d = db::leadingNumber(v);
  if (!(std::fabs(d) < 9e18)) return 0;
  return std::llround(d);
}

// The separator of the batch-code prefix and suffix: "ƒ" as UTF-8, or as the single ANSI byte the
// ERP writes on a Windows-1252 server.
void splitBatchCode(ErpSettings& s, const std::string& v) {
  static const std::string utf8 = "\xC6\x92";
  std::size_t pos = v.find(utf8);
  std::size_t width = utf8.size();
  if (pos == std::string::npos) {
    pos = v.find('\x83');
    width = 1;
  }
  if (pos == std::string::npos) return;
  s.BatchCodePrefix = v.substr(0, pos);
  std::string rest = v.substr(pos + width);
  // Only the second part is the suffix; anything after a further separator is ignored.
  std::size_t next = rest.find(width == 1 ? std::string("\x83") : utf8);
  s.BatchCodeSuffix = rest.substr(0, next);
}

using Apply = std::function<void(ErpSettings&, const std::string&)>;
struct Entry {
  std::string key;  // upper case
  Apply apply;
};

#define ERP_FLAG(k)                                                               \
  {                                                                               \
    text::upper(#k), [](ErpSettings& s, const std::string& v) { s.k = flag1(v); } \
  }
#define ERP_NUM(k)                                                                \
  {                                                                               \
    text::upper(#k), [](ErpSettings& s, const std::string& v) { s.k = whole(v); } \
  }
#define ERP_DBL(k)                                                                            \
  {                                                                                           \
    text::upper(#k), [](ErpSettings& s, const std::string& v) { s.k = db::leadingNumber(v); } \
  }
#define ERP_TEXT(k)                                                        \
  {                                                                        \
    text::upper(#k), [](ErpSettings& s, const std::string& v) { s.k = v; } \
  }
#define ERP_IGNORED(k)                                       \
  {                                                          \
    text::upper(#k), [](ErpSettings&, const std::string&) {} \
  }

// Tested in this order; the first key that matches decides.
const std::vector<Entry>& entries() {
  static const std::vector<Entry> table = {
      // Flags (value 1).
      ERP_FLAG(BLNMultiBatchRates),
      ERP_FLAG(BLNSECUREDLOGIN),
      ERP_FLAG(BLNSMS),
      ERP_FLAG(BLNMINMAXPRICE),
      ERP_FLAG(BLNSERVICEREMINDER),
      ERP_FLAG(BLNSTARTWITHRECENT),
      ERP_FLAG(BLNSHOWRECENT),
      ERP_FLAG(BLNAREA),
      ERP_FLAG(BLNBATCHCODE),
      ERP_FLAG(BLNGODOWN),
      ERP_FLAG(BLNCessOnTaxIncl),
      ERP_FLAG(BLNCOSTCENTRE),
      ERP_FLAG(BLNCURRENCY),
      ERP_FLAG(BLNEXPIRY),
      ERP_FLAG(BLNEXPIRYDATEWISE),
      ERP_FLAG(blnExtraAccounts),
      ERP_FLAG(BLNITEMCLASS),
      ERP_FLAG(blnPayRoll),
      ERP_FLAG(blnpricelist),
      ERP_FLAG(BLNIMAGEFORMASTERS),
      ERP_FLAG(BLNPRODUCTGROUP),
      // "blnSMS" is "BLNSMS" again; keys match whatever their case, so the entry above always wins.
      {"BLNSMS", [](ErpSettings& s, const std::string& v) { s.BLNSMS = flag1(v); }},
      ERP_FLAG(BLNTaxEnabled),
      ERP_FLAG(BLNTRACKWEIGHT),
      ERP_FLAG(BLNUNITCONVERSION),
      ERP_FLAG(blnEnableScanCustomerCard),
      ERP_FLAG(BLNArabCurrency),
      // Flag ("TRUE").
      {"BLNHEAVYDB", [](ErpSettings& s, const std::string& v) { s.BLNHEAVYDB = flagTrue(v); }},
      // Numbers; the decimal places of amounts and quantities come right after BARCODELABELS.
      ERP_NUM(BLNCOMAFORMAT),
      ERP_NUM(EnablePoleDisplay),
      ERP_NUM(EnableWeighingMachine),
      ERP_NUM(EnableScanCustomerCard),
      ERP_NUM(BLNCUSTOMERPOINTS),
      ERP_NUM(BLNENABLETDS),
      ERP_NUM(BLNBILLWISE),
      ERP_NUM(BLNBILLWISEAGEING),
      ERP_NUM(BLNAGENT),
      ERP_NUM(BLNAGENTCommType),
      ERP_NUM(STRWINDOWFONTSIZE),
      ERP_NUM(INTCASINGID),
      ERP_NUM(BARCODELABELS),
      {"HALVEXAMT",
       [](ErpSettings& s, const std::string& v) {
         s.HALVEXAMT = whole(v);
         s.AmountFormat = decimalFormat(s.HALVEXAMT);
       }},
      ERP_FLAG(HALVEXINWORDS),
      {"HALVEXQTY",
       [](ErpSettings& s, const std::string& v) {
         s.HALVEXQTY = whole(v);
         s.QtyFormat = decimalFormat(s.HALVEXQTY);
       }},
      ERP_NUM(BLNLOADONSTARTUP),
      ERP_NUM(INTPRICELISTOPTIONS),
      ERP_NUM(BLNPrintUserBarCodes),
      ERP_DBL(DBLCESSONTAXPER),
      ERP_DBL(DblCess),
      ERP_DBL(DblServiceTax),
      ERP_NUM(INTCOSTINGID),
      ERP_NUM(INTLANGUAGEID),
      ERP_NUM(INTSERIALNO),
      // Texts.
      ERP_TEXT(AlterCompanyCode),
      ERP_TEXT(AlterCompanyCodeKey),
      ERP_TEXT(WelcomeNote),
      ERP_TEXT(STRWINDOWFONT),
      ERP_TEXT(STRWINDOWFONTBOLD),
      ERP_TEXT(STRWINDOWFONTFOCUSCOLOR),
      ERP_TEXT(STRWINDOWFONTCOLOR),
      ERP_TEXT(STRWINDOWFONTFOCUSTEXTCOLOR),
      ERP_TEXT(STRWINDOWBACKCOLOR),
      ERP_TEXT(STRGRIDCOLOR),
      ERP_TEXT(STRLEDSUBWINDOWCUSTIDS),
      ERP_TEXT(STRLEDSUBWINDOWSUPIDS),
      ERP_TEXT(MajorCurrency),
      ERP_TEXT(MAJORSYMBOL),
      ERP_TEXT(MinorCurrency),
      ERP_TEXT(MINORSYMBOL),
      {"STRBATCODEPREFIXSUFFIX",
       [](ErpSettings& s, const std::string& v) {
         s.STRBATCODEPREFIXSUFFIX = v;
         splitBatchCode(s, v);
       }},
      // Known to the ERP, of no use to the synchroniser.
      ERP_IGNORED(ReportPeriod),
      ERP_IGNORED(UserWiseVchtypesInreports),
      ERP_IGNORED(barCodePattern),
      ERP_IGNORED(INTCESSMODE),
      ERP_IGNORED(BLNCASHDESK),
      ERP_IGNORED(BLNLABELPRINTING),
      ERP_IGNORED(BLNLANGUAGE),
      ERP_IGNORED(BLNREGULARSUPP),
      ERP_IGNORED(BLNSHOWCOMPANYADDRESS),
      ERP_IGNORED(BLNSHOWCOMPANYNAME),
      ERP_IGNORED(BLNTOBYINDAYBOOK),
      ERP_IGNORED(BLNTRACKCOSTRATE),
      ERP_IGNORED(blnVertical),
      ERP_IGNORED(DENOMINATIONS),
      ERP_IGNORED(EXPLORERSKININDEX),
      ERP_IGNORED(INTMaxCreditBills),
      ERP_IGNORED(INTMaxCreditDays),
      ERP_IGNORED(INTREPORT_BOTTOM),
      ERP_IGNORED(INTREPORT_LEFT),
      ERP_IGNORED(INTREPORT_RIGHT),
      ERP_IGNORED(INTREPORT_TOP),
      ERP_IGNORED(STRARABFONTNAME),
  };
  return table;
}

#undef ERP_FLAG
#undef ERP_NUM
#undef ERP_DBL
#undef ERP_TEXT
#undef ERP_IGNORED

db::Recordset queryOpen(db::Connection* c, const std::string& sql) {
  if (!c || !c->isOpen()) throw db::DbError("Operation is not allowed when the object is closed.");
  return c->query(sql);
}

long long executeOpen(db::Connection* c, const std::string& sql) {
  if (!c || !c->isOpen()) throw db::DbError("Operation is not allowed when the object is closed.");
  return c->execute(sql);
}

}  // namespace

bool ApplyErpSetting(ErpSettings& settings, const std::string& keyName, const std::string& valueName) {
  const std::string key = text::upper(keyName);
  for (const auto& e : entries()) {
    if (e.key == key) {
      e.apply(settings, valueName);
      return true;
    }
  }
  return false;
}

bool LoadErpSettings(db::Connection* local, ErpSettings& settings, std::string* error) {
  try {
    db::Recordset rs = queryOpen(local, "select * from tblAppSettings ");
    for (std::size_t r = 0; r < rs.size(); ++r)
      ApplyErpSetting(settings, rs.at(r, "KeyName").toString(), rs.at(r, "ValueName").toString());
    return true;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
}

std::string decimalFormat(long long places) {
  if (places <= 0) return "#0";
  return "#0." + std::string(static_cast<std::size_t>(std::min<long long>(places, 15)), '0');
}

std::string formatWithPattern(double value, const std::string& format) {
  if (format.empty()) return db::Value(value).toString();
  int places = 0;
  std::size_t dot = format.find('.');
  if (dot != std::string::npos) places = static_cast<int>(std::min<std::size_t>(format.size() - dot - 1, 15));
  const double scale = std::pow(10.0, places);
  // Rounded half away from zero, as the ERP's display format rounds: 2.345 is stored as
  // 2.34499999…, so the scaled value is nudged by a relative 1e-12 before rounding (2.345 -> 2.35).
  double rounded = std::round(value * scale * (1 + 1e-12)) / scale;
  if (rounded == 0) rounded = 0;  // no "-0.00"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", places, rounded);
  return buf;
}

std::string AppSetting(db::Connection* local, Host& host, const std::string& key, bool write,
                       const std::string& value) {
  try {
    if (write) {
      const std::string where = " where KeyName=" + db::sqlQuote(key);
      long long affected = executeOpen(local, "update tblAppSettings set valueName = " + db::sqlQuote(value) + where);
      // A server that does not count rows reports -1: ask whether the key is there before adding it.
      if (affected < 0) affected = queryOpen(local, "Select count(*) from tblAppSettings" + where).at(0, 0).toInt();
      if (affected == 0)
        executeOpen(local, "insert into tblAppSettings (KeyName,valueName) values(" + db::sqlQuote(key) + "," +
                               db::sqlQuote(value) + ")");
      return {};
    }
    db::Recordset rs = queryOpen(local, "Select valueName from tblAppSettings where  KeyName=" + db::sqlQuote(key));
    std::string stored = rs.empty() ? std::string() : rs.at(0, "ValueName").toString();
    return stored.empty() ? value : stored;
  } catch (const std::exception& e) {
    std::string description = e.what();
    // An old company database without the table: the setting simply does not exist there.
    std::size_t at = description.find("tblAppSettings");
    if (at != std::string::npos && at > 0) return {};
    host.messageBox(description, Buttons::OK, Icon::Exclamation);
    return {};
  }
}

}  // namespace erpsync
