// The ERP's own switches, kept as key/value rows in tblAppSettings of each company database. They are
// loaded at connect (and before a full master migration) so the stock and voucher posting the
// synchroniser shares with the ERP behave as the ERP does on this branch.
#pragma once

#include <string>

namespace erpsync {
class Host;
}

namespace erpsync {

namespace db {
class Connection;
}

// Every recognised key of tblAppSettings, named as the key. Values not present in the table keep
// what they held (false, 0 or empty at program start).
struct ErpSettings {
  // Flags: true when the value reads as the number 1.
  bool BLNMultiBatchRates = false;
  bool BLNSECUREDLOGIN = false;
  bool BLNSMS = false;  // also "blnSMS": keys match whatever their case
  bool BLNMINMAXPRICE = false;
  bool BLNSERVICEREMINDER = false;
  bool BLNSTARTWITHRECENT = false;
  bool BLNSHOWRECENT = false;
  bool BLNAREA = false;
  bool BLNBATCHCODE = false;
  bool BLNGODOWN = false;
  bool BLNCessOnTaxIncl = false;
  bool BLNCOSTCENTRE = false;
  bool BLNCURRENCY = false;
  bool BLNEXPIRY = false;
  bool BLNEXPIRYDATEWISE = false;
  bool blnExtraAccounts = false;
  bool BLNITEMCLASS = false;
  bool blnPayRoll = false;
  bool blnpricelist = false;
  bool BLNIMAGEFORMASTERS = false;
  bool BLNPRODUCTGROUP = false;
  bool BLNTaxEnabled = false;
  bool BLNTRACKWEIGHT = false;
  bool BLNUNITCONVERSION = false;
  bool blnEnableScanCustomerCard = false;
  bool BLNArabCurrency = false;
  bool HALVEXINWORDS = false;  // amounts in words

  // Flag: true when the value is "TRUE" in any case.
  bool BLNHEAVYDB = false;

  // Numbers: the leading numeric part of the value.
  long long BLNCOMAFORMAT = 0;
  long long EnablePoleDisplay = 0;
  long long EnableWeighingMachine = 0;
  long long EnableScanCustomerCard = 0;
  long long BLNCUSTOMERPOINTS = 0;
  long long BLNENABLETDS = 0;
  long long BLNBILLWISE = 0;
  long long BLNBILLWISEAGEING = 0;
  long long BLNAGENT = 0;
  long long BLNAGENTCommType = 0;
  long long STRWINDOWFONTSIZE = 0;
  long long INTCASINGID = 0;
  long long BARCODELABELS = 0;
  long long BLNLOADONSTARTUP = 0;
  long long INTPRICELISTOPTIONS = 0;
  long long BLNPrintUserBarCodes = 0;
  double DBLCESSONTAXPER = 0;
  double DblCess = 0;
  double DblServiceTax = 0;
  long long INTCOSTINGID = 0;
  long long INTLANGUAGEID = 0;
  long long INTSERIALNO = 0;

  // Decimal places of amounts and quantities, with their display formats ("#0.00", "#0").
  long long HALVEXAMT = 0;
  std::string AmountFormat;
  long long HALVEXQTY = 0;
  std::string QtyFormat;

  // Texts, as stored.
  std::string AlterCompanyCode;
  std::string AlterCompanyCodeKey;
  std::string WelcomeNote;
  std::string STRWINDOWFONT;
  std::string STRWINDOWFONTBOLD;
  std::string STRWINDOWFONTFOCUSCOLOR;
  std::string STRWINDOWFONTCOLOR;
  std::string STRWINDOWFONTFOCUSTEXTCOLOR;
  std::string STRWINDOWBACKCOLOR;
  std::string STRGRIDCOLOR;
  std::string STRLEDSUBWINDOWCUSTIDS;
  std::string STRLEDSUBWINDOWSUPIDS;
  std::string MajorCurrency;
  std::string MAJORSYMBOL;
  std::string MinorCurrency;
  std::string MINORSYMBOL;
  std::string STRBATCODEPREFIXSUFFIX;

  // STRBATCODEPREFIXSUFFIX split at "ƒ": the batch-code prefix and suffix stock posting uses. A value
  // without the separator leaves both as they were.
  std::string BatchCodePrefix;
  std::string BatchCodeSuffix;
};

// Reads every row of tblAppSettings on the branch connection into settings (keys matched whatever
// their case; unknown keys skipped). Never throws: when the database fails part-way the rows already
// read stay applied and the result is false, with the description in *error when given.
bool LoadErpSettings(db::Connection* local, ErpSettings& settings, std::string* error = nullptr);

// Applies one tblAppSettings row; false when the key is not one the synchroniser keeps.
bool ApplyErpSetting(ErpSettings& settings, const std::string& keyName, const std::string& valueName);

// The display format for a number of decimal places: "#0." followed by that many "0", or "#0".
std::string decimalFormat(long long places);
// value shown in such a format ("#0", "#0.00" …), rounded half away from zero; an empty format gives
// the plain number.
std::string formatWithPattern(double value, const std::string& format);

// One key of tblAppSettings on the branch connection. write=false: the stored value, or value when
// the key is missing or empty. write=true: stores value under key (updating the row, or inserting it
// when there is none) and returns "". Keys and values are quoted. A missing tblAppSettings (an old
// database) is ignored; other failures show a message box (warning icon). Failures return "".
std::string AppSetting(db::Connection* local, Host& host, const std::string& key, bool write, const std::string& value);

}  // namespace erpsync
