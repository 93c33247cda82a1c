// The corpus format itself: directives, line breaks and the statement text kept byte for byte.
#include "corpus_file.h"

#include <gtest/gtest.h>

namespace erpsync::test {
namespace {

TEST(CorpusFormat, ReadsDirectivesAndKeepsStatementTextExactly) {
  auto f = parseCorpus(
      "-- file comment\n-- prepare: upgrade\n-- prepare: linked-server\nGO\n\n"
      "-- first operation\n-- on: central\n-- expect-rows: 3\n-- expect-value:  |0\n SELECT a  \n FROM t \nGO\n\n"
      "-- trigger\n-- on: branch\n-- expect-error: already an object|Cannot drop\n-- newline: CRLF\n-- "
      "trailing-newline\n"
      "create trigger x\n \n End\nGO\n"
      "-- board rate\n-- on: central\n-- newline: CR\na\nb\nGO\n");
  EXPECT_EQ(f.prepare, (std::vector<std::string>{"upgrade", "linked-server"}));
  ASSERT_EQ(f.statements.size(), 3u);
  const auto& a = f.statements[0];
  EXPECT_EQ(a.operation, "first operation");
  EXPECT_EQ(a.on, "central");
  EXPECT_EQ(a.expectRows, 3);
  EXPECT_EQ(a.expectValue, " |0");
  EXPECT_EQ(a.text, " SELECT a  \n FROM t ");
  EXPECT_EQ(a.line, 6);
  EXPECT_EQ(f.statements[1].text, "create trigger x\r\n \r\n End\r\n");
  EXPECT_EQ(f.statements[1].expectError, "already an object|Cannot drop");
  EXPECT_EQ(f.statements[2].text, "a\rb");
  EXPECT_THROW(parseCorpus("-- x\n-- on: branch\nSELECT 1\n"), std::runtime_error);
}

TEST(CorpusFormat, ErrorPhrasesAreAlternatives) {
  EXPECT_TRUE(errorMatches("Incorrect syntax near 'Brien'.", "Incorrect syntax|Unclosed quotation mark"));
  EXPECT_TRUE(errorMatches("Unclosed quotation mark after the character string ')'.",
                           "Incorrect syntax|Unclosed quotation mark"));
  EXPECT_FALSE(errorMatches("Invalid object name 'x'.", "Incorrect syntax|Unclosed quotation mark"));
  EXPECT_FALSE(errorMatches("cannot insert duplicate key", "Cannot insert duplicate key"));
}

}  // namespace
}  // namespace erpsync::test
