// The embedded server under a process locale whose decimal separator is a comma (a window library
// switches to the user's): numbers in statements, float and decimal columns, conversions to and from
// text, and the values handed back all keep the decimal point.
#include "comma_locale.h"
#include "db/recordset.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

class EmbeddedCommaLocale : public EmbeddedFixture {};

TEST_F(EmbeddedCommaLocale, NumbersKeepTheirDecimalPoint) {
  auto c = server("srv", "A");
  c->execute("CREATE TABLE tblRates (ID int NOT NULL, F float NULL, Amount numeric(18,2) NULL, Note varchar(40) NULL)");
  CommaLocale comma(base());
  if (!comma.active()) GTEST_SKIP() << CommaLocale::kSkipReason;
  c->execute("insert into tblRates (ID, F, Amount) values (1, 2.5E0, 12.5)");           // literals
  c->execute("insert into tblRates (ID, F, Amount) values (2, '3.75', '7.25')");        // text into numbers
  c->execute("insert into tblRates (ID, F, Amount) values (3, 0.1E0 + 0.2E0, 1.5E0)");  // float into numeric
  c->execute("update tblRates set Note = cast(F as varchar(40)) where ID <= 2");        // float to text
  auto rs = c->query("select ID, F, Amount, Note from tblRates order by ID");
  const std::string f1 = rs.at(0, "F").toString(), note1 = rs.at(0, "Note").toString();
  const double f2 = rs.at(1, "F").toDouble(), amount2 = rs.at(1, "Amount").toDouble();
  const double amount1 = rs.at(0, "Amount").toDouble(), amount3 = rs.at(2, "Amount").toDouble();
  const std::string f3 = rs.at(2, "F").toString();
  comma.restore();
  EXPECT_EQ(f1, "2.5");
  EXPECT_EQ(note1, "2.5");
  EXPECT_EQ(amount1, 12.5);
  EXPECT_EQ(f2, 3.75);
  EXPECT_EQ(amount2, 7.25);
  EXPECT_EQ(rs.at(1, "Note").toString(), "3.75");
  EXPECT_EQ(amount3, 1.5);
  EXPECT_EQ(f3, "0.3");
}

}  // namespace
}  // namespace erpsync::test
