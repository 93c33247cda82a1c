// Driver-independent pieces of the ODBC backend: text conversion, decimal text, driver messages
// and the type codes of the column types only SQL Server's drivers report.
#include "db/odbc/odbc_text.h"

#include <gtest/gtest.h>

#include "db/recordset.h"

using namespace erpsync::db::odbc::detail;

TEST(OdbcText, Utf8AndUtf16RoundTripIncludingSurrogatePairs) {
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9D\x84\x9E";
  const std::u16string wide = utf8ToUtf16(text);
  EXPECT_EQ(wide, u"Grüße € 日本 \U0001D11E");
  EXPECT_EQ(wide.size(), 13u) << "the clef needs a surrogate pair";
  EXPECT_EQ(utf16ToUtf8(wide), text);
}

TEST(OdbcText, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(utf8ToUtf16("a\xFFz"), u"a\uFFFDz");
  EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD") << "truncated sequence at the end";
  EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD") << "overlong encoding of '/'";
  EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogate";
  EXPECT_EQ(utf16ToUtf8(std::u16string{u'x', char16_t(0xD800), u'y'}), "x\xEF\xBF\xBDy");
  EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
}

TEST(OdbcText, DecimalTextKeepsDigitsAndScale) {
  EXPECT_EQ(normalizeDecimalText("12.50"), "12.50");
  EXPECT_EQ(normalizeDecimalText(".50"), "0.50");
  EXPECT_EQ(normalizeDecimalText("-.5000"), "-0.5000");
  EXPECT_EQ(normalizeDecimalText(" 123456789012345678.25 "), "123456789012345678.25");
  EXPECT_EQ(normalizeDecimalText("+3"), "3");
  EXPECT_EQ(normalizeDecimalText("-0"), "-0");
}

TEST(OdbcText, DriverPrefixesGoTheServersTextStays) {
  EXPECT_EQ(stripDriverPrefixes("[FreeTDS][SQL Server]Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert "
                                "duplicate key in object 'dbo.t'."),
            "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert duplicate key in object 'dbo.t'.");
  EXPECT_EQ(stripDriverPrefixes("[Microsoft][ODBC Driver 17 for SQL Server][SQL Server]Invalid object name "
                                "'tblAppSettings'."),
            "Invalid object name 'tblAppSettings'.");
  EXPECT_EQ(stripDriverPrefixes("[unixODBC][Driver Manager]Data source name not found"), "Data source name not found");
  EXPECT_EQ(stripDriverPrefixes("[dbo].[tblSales] is not a table"), "[dbo].[tblSales] is not a table");
  EXPECT_EQ(stripDriverPrefixes("[FreeTDS][SQL Server][dbo].[t] is locked"), "[dbo].[t] is locked");
  EXPECT_EQ(stripDriverPrefixes("[FreeTDS]"), "[FreeTDS]");
  EXPECT_EQ(stripDriverPrefixes("no such table: x"), "no such table: x");
}

TEST(OdbcText, ErrorsCarryThePhrasesTheOperationsLookFor) {
  // FreeTDS words a time-out "Timeout expired"; SQL Server's own drivers "Query timeout expired".
  EXPECT_EQ(withClientPhrases("Timeout expired", "HYT00", true), "Query timeout expired");
  EXPECT_EQ(withClientPhrases("", "HYT00", true), "Query timeout expired");
  EXPECT_EQ(withClientPhrases("Query timeout expired", "HYT00", true), "Query timeout expired");
  EXPECT_EQ(withClientPhrases("Operation timed out", "HYT00", false), "Query timeout expired: Operation timed out");
  EXPECT_EQ(withClientPhrases("Write to the server failed", "08S01", true),
            "Connection failure: Write to the server failed");
  EXPECT_EQ(withClientPhrases("Write to the server failed", "08S01", false), "Write to the server failed")
      << "a failed open is worded as it is";
  EXPECT_EQ(withClientPhrases("Timeout expired", "HY000", true), "Timeout expired") << "only HYT00 is a time-out";
}

TEST(OdbcText, SqlServerColumnTypesGetTheirAdoCodes) {
  // Codes the copy builders classify by; the SQLite driver never reports these types, so they are
  // checked here rather than end to end. (ODBC codes: SQL_WCHAR -8, SQL_WVARCHAR -9,
  // SQL_WLONGVARCHAR -10, SQL_DECIMAL 3, SQL_NUMERIC 2, SQL_TYPE_TIMESTAMP 93, SQL_TYPE_DATE 91,
  // SQL_CHAR 1, SQL_REAL 7, SQL_FLOAT 6, SQL_GUID -11.)
  using namespace erpsync::db;
  const std::pair<int, int> expected[] = {
      {-8, adWChar},       {-9, adVarWChar}, {-10, adLongVarWChar}, {3, adNumeric}, {2, adNumeric}, {93, adDBTimeStamp},
      {91, adDBTimeStamp}, {1, adChar},      {7, adSingle},         {6, adDouble},  {-11, 72}};
  for (auto [odbc, ado] : expected) EXPECT_EQ(columnKindFor(odbc).adoType, ado) << "ODBC type " << odbc;
  EXPECT_EQ(columnKindFor(3).fetch, FetchKind::Decimal);
  EXPECT_EQ(columnKindFor(-9).fetch, FetchKind::Text);
  EXPECT_EQ(columnKindFor(12345).adoType, adVarChar) << "unknown types read as text";
}
