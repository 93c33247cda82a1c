// Text and type helpers of the ODBC backend that need no driver: UTF-8/UTF-16 conversion, the ADO type code
// of an ODBC column type, decimal text clean-up and driver message prefixes.
#include "db/odbc/odbc_text.h"

#ifdef _WIN32
#include <windows.h>
#endif
#define SQL_NOUNICODEMAP
#include <sql.h>
#include <sqlext.h>

#include "db/recordset.h"
#include "util/text.h"

namespace erpsync::db::odbc::detail {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// SQL Server specific column types, as its drivers report them (not in the standard headers).
constexpr int kSsVariant = -150;
constexpr int kSsXml = -152;
constexpr int kSsTime2 = -154;
constexpr int kSsTimestampOffset = -155;

// ADO codes the shared enum does not list.
constexpr int kAdGuid = 72;
constexpr int kAdLongVarBinary = 205;

}  // namespace

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0;
    std::size_t len = 0;
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      len = 4;
    } else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    bool ok = i + len <= s.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (cc & 0x3F);
    }
    const bool overlong = (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (!ok || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

ColumnKind columnKindFor(int t) {
  switch (t) {
    case SQL_CHAR:
      return {adChar, FetchKind::Text};
    case SQL_VARCHAR:
      return {adVarChar, FetchKind::Text};
    case SQL_LONGVARCHAR:
      return {adLongVarChar, FetchKind::Text};
    case SQL_WCHAR:
      return {adWChar, FetchKind::Text};
    case SQL_WVARCHAR:
      return {adVarWChar, FetchKind::Text};
    case SQL_WLONGVARCHAR:
    case kSsXml:
      return {adLongVarWChar, FetchKind::Text};
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return {adNumeric, FetchKind::Decimal};
    case SQL_INTEGER:
      return {adInteger, FetchKind::Integer};
    case SQL_SMALLINT:
      return {adSmallInt, FetchKind::Integer};
    case SQL_TINYINT:
      return {adTinyInt, FetchKind::Integer};
    case SQL_BIGINT:
      return {adBigInt, FetchKind::Integer};
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return {adDouble, FetchKind::Double};
    case SQL_REAL:
      return {adSingle, FetchKind::Double};
    case SQL_BIT:
      return {adBoolean, FetchKind::Boolean};
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:  // ODBC 2 code, from drivers that ignore the version we ask for
    case SQL_DATETIME:
    case kSsTimestampOffset:
      return {adDBTimeStamp, FetchKind::Timestamp};
    case SQL_TYPE_DATE:
      return {adDBTimeStamp, FetchKind::Date};
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case kSsTime2:
      return {adDBTimeStamp, FetchKind::Time};
    case SQL_BINARY:
      return {adBinary, FetchKind::Binary};
    case SQL_VARBINARY:
      return {adVarBinary, FetchKind::Binary};
    case SQL_LONGVARBINARY:
      return {kAdLongVarBinary, FetchKind::Binary};
    case SQL_GUID:
      return {kAdGuid, FetchKind::Text};
    case kSsVariant:
    default:
      return {adVarChar, FetchKind::Text};
  }
}

std::string normalizeDecimalText(std::string_view text) {
  const std::string trimmed = text::trim(text, text::kWhitespace);
  if (trimmed.empty()) return {};
  std::string_view t = trimmed;
  std::string sign;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    if (t.front() == '-') sign = "-";
    t.remove_prefix(1);
  }
  std::string out = sign;
  if (!t.empty() && t.front() == '.') out += '0';
  out += t;
  return out;
}

std::string stripDriverPrefixes(std::string_view msg) {
  // Walk the leading bracket groups; remember where each ends.
  std::size_t pos = 0;
  std::size_t keepFrom = 0;
  while (pos < msg.size() && msg[pos] == '[') {
    std::size_t close = msg.find(']', pos);
    if (close == std::string_view::npos) break;
    std::string_view inner = msg.substr(pos + 1, close - pos - 1);
    if (inner.find('[') != std::string_view::npos) break;
    // "[dbo].[t]" is the server naming an object, not a component prefix.
    if (close + 1 < msg.size() && msg[close + 1] == '.') break;
    pos = close + 1;
    keepFrom = pos;
  }
  std::string_view rest = msg.substr(keepFrom);
  if (rest.find_first_not_of(" \t\r\n") == std::string_view::npos) return std::string(msg);
  return std::string(rest);
}

std::string withClientPhrases(std::string description, std::string_view sqlState, bool onOpenConnection) {
  if (onOpenConnection && sqlState == "08S01" && description.find("Connection failure") == std::string::npos)
    return "Connection failure: " + description;
  if (sqlState == "HYT00" && description.find("Query timeout expired") == std::string::npos)
    return description.empty() || description == "Timeout expired" ? "Query timeout expired"
                                                                   : "Query timeout expired: " + description;
  return description;
}

std::string quoteOdbcValue(std::string_view v) {
  bool needs = !v.empty() && (v.front() == '"' || v.front() == '\'');
  for (char c : v)
    if (c == ';' || c == '{' || c == '}' || c == '=' || c == ' ' || c == '\t' || c == '\r' || c == '\n') needs = true;
  if (!needs) return std::string(v);
  std::string out = "{";
  for (char c : v) {
    out += c;
    if (c == '}') out += '}';
  }
  out += '}';
  return out;
}

}  // namespace erpsync::db::odbc::detail
