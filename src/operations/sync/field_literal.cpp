// How the copy builders write one field of a source row into a literal INSERT statement.
#include "sync/field_literal.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "db/recordset.h"
#include "db/sql_literal.h"
#include "db/sql_quote.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

constexpr int adGuid = 72;
constexpr int adLongVarBinary = 205;

bool isUnicodeText(int t) {
  return t == db::adWChar || t == db::adVarWChar || t == db::adLongVarWChar;
}

bool isBinary(int t) {
  return t == db::adBinary || t == db::adVarBinary || t == adLongVarBinary;
}

// A number already in text: kept when it is a plain decimal literal, else its leading numeric part.
std::string numberFromText(const std::string& text) {
  std::string t = text::trim(text, text::kWhitespace);
  std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  bool digits = false, dot = false, plain = i < t.size();
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9')
      digits = true;
    else if (t[i] == '.' && !dot)
      dot = true;
    else {
      plain = false;
      break;
    }
  }
  if (plain && digits) return db::Value(db::Decimal{t[0] == '+' ? t.substr(1) : t}).toString();
  return db::decimalLiteral(db::leadingNumber(text));
}

std::string number(const db::Value& v) {
  const auto& s = v.storage();
  if (auto* i = std::get_if<std::int64_t>(&s)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&s)) return db::decimalLiteral(*d);
  if (auto* b = std::get_if<bool>(&s)) return *b ? "1" : "0";
  if (auto* t = std::get_if<std::string>(&s)) return numberFromText(*t);
  return v.toString();  // exact decimals, without trailing zeros
}

std::string bit(const db::Value& v) {
  if (auto* t = std::get_if<std::string>(&v.storage())) {
    std::string u = text::upper(text::trim(*t, text::kWhitespace));
    if (u == "TRUE") return "1";
    if (u == "FALSE" || u.empty()) return "0";
  }
  return v.toDouble() != 0 ? "1" : "0";
}

std::string hex(const db::Value& v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out = "0x";
  std::string raw;
  if (auto* b = std::get_if<db::Bytes>(&v.storage()))
    raw.assign(b->data.begin(), b->data.end());
  else
    raw = v.toString();
  for (unsigned char c : raw) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string dateTime(const db::Value& v) {
  auto t = v.toDateTime();
  return t ? db::dateTimeLiteral(*t) : "NULL";
}

}  // namespace

int FieldTypeClass(int typeCode) {
  const auto t = static_cast<short>(typeCode);
  if (t == db::adChar || t == db::adVarChar || t == db::adLongVarChar) return 0;
  if (t == db::adDBTimeStamp) return 3;
  return 1;
}

std::string FieldLiteral(const db::Value& value, int typeCode) {
  if (FieldTypeClass(typeCode) == 0) return value.isNull() ? db::kBlankForNull : db::sqlQuote(value.toString());
  if (isUnicodeText(typeCode)) return value.isNull() ? db::kBlankForNull : "N" + db::sqlQuote(value.toString());
  if (typeCode == db::adDBTimeStamp || typeCode == db::adDate) return value.isNull() ? "NULL" : dateTime(value);
  if (typeCode == db::adBoolean) return value.isNull() ? "0" : bit(value);
  if (typeCode == adGuid) return value.isNull() ? "NULL" : db::sqlQuote(value.toString());
  if (isBinary(typeCode)) return value.isNull() ? "NULL" : hex(value);
  return value.isNull() ? "0" : number(value);
}

}  // namespace erpsync::sync
