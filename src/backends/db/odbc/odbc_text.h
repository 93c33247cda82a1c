// Text and type helpers of the ODBC backend that need no driver: UTF-8/UTF-16 conversion, the
// ADO type code of an ODBC column type, decimal text clean-up and driver message prefixes.
#pragma once

#include <string>
#include <string_view>

namespace erpsync::db::odbc::detail {

// UTF-8 to UTF-16 and back. Malformed input (bad bytes, lone surrogates) becomes U+FFFD rather
// than failing: a server name or a row of data must never throw half way through a fetch.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// How a column's values are read from the driver.
enum class FetchKind { Text, Decimal, Integer, Double, Boolean, Timestamp, Date, Time, Binary };

struct ColumnKind {
  int adoType;
  FetchKind fetch;
};

// The ADO type code and fetch kind for an ODBC SQL data type (SQL_VARCHAR -> adVarChar, ...).
// Types this backend does not know are read as text and reported as adVarChar.
ColumnKind columnKindFor(int odbcSqlType);

// Decimal text as drivers render it, made canonical: blanks trimmed, "+" dropped and a bare
// fraction given its leading zero (".50" -> "0.50", "-.5" -> "-0.5"). Digits and scale are kept.
std::string normalizeDecimalText(std::string_view text);

// Drops the "[vendor][component][data source]" prefix of a driver message when what remains is
// the server's own text; a message that starts with a bracketed name ("[dbo].[t] ...") is kept.
std::string stripDriverPrefixes(std::string_view message);

// A driver's error text given the phrases the operations look for, as the OLE DB client worded
// them: a broken link on an open connection (SQLSTATE 08S01) says "Connection failure", a time-out
// (HYT00) says "Query timeout expired" (FreeTDS says only "Timeout expired").
std::string withClientPhrases(std::string description, std::string_view sqlState, bool onOpenConnection);

// A value for an ODBC connection string: wrapped in {} (with } doubled) when it holds a character
// that would end or restructure the attribute (; { } = blanks) or starts with a quote, so text from
// settings can never add keys of its own.
std::string quoteOdbcValue(std::string_view value);

}  // namespace erpsync::db::odbc::detail
