#include "util/text.h"

#include <gtest/gtest.h>

namespace erpsync::text {
namespace {

TEST(Text, TrimTakesOnlyTheGivenBlanks) {
  EXPECT_EQ(trim(" \tkey = v\t "), "key = v");
  EXPECT_EQ(trim("\r\n v \r\n"), "\r\n v \r\n");  // line ends are not blanks by default
  EXPECT_EQ(trim("\r\n v \r\n", kWhitespace), "v");
  EXPECT_EQ(trim("\t name \t", " "), "\t name \t");
  EXPECT_EQ(trim(" \t \t"), "");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(trim(std::string_view("\0x\0", 3), " "), std::string("\0x\0", 3));
}

TEST(Text, TrimRightKeepsTheLeadingBlanks) {
  EXPECT_EQ(trimRight("  message.\r\n", kWhitespace), "  message.");
  EXPECT_EQ(trimRight(" \r\n", kWhitespace), "");
  EXPECT_EQ(trimRight("x"), "x");
}

TEST(Text, CaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(upper("Data Source=srv_1;"), "DATA SOURCE=SRV_1;");
  EXPECT_EQ(lower("Data Source=SRV_1;"), "data source=srv_1;");
  // Other bytes (UTF-8 sequences, punctuation next to the letter ranges) pass unchanged.
  EXPECT_EQ(upper("\xc3\xa9[`{@"), "\xc3\xa9[`{@");
  EXPECT_EQ(lower("\xc3\x89[`{@"), "\xc3\x89[`{@");
}

TEST(Text, IequalsIgnoresAsciiCaseOnly) {
  EXPECT_TRUE(iequals("tblAppSettings", "TBLAPPSETTINGS"));
  EXPECT_TRUE(iequals("", ""));
  EXPECT_FALSE(iequals("abc", "abcd"));
  EXPECT_FALSE(iequals("[", "{"));  // 0x5B and 0x7B differ by the case bit but are not letters
  EXPECT_FALSE(iequals("\xc3\xa9", "\xc3\x89"));
}

}  // namespace
}  // namespace erpsync::text
