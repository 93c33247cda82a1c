// End-to-end basics of the embedded server: servers, catalogs, tables, rows and types.
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using db::DbError;

class EmbeddedBasic : public EmbeddedFixture {};

TEST_F(EmbeddedBasic, CreateInsertSelectRoundTrip) {
  auto c = server("srv");
  c->execute(
      "CREATE TABLE [dbo].[tblItem]([ItemID] [numeric](18, 0) NOT NULL, [ItemName] [varchar](50) NULL, [Rate] "
      "[numeric](18, 2) NULL, [Added] [datetime] NULL, [Qty] int NULL, [W] float NULL, [Flag] bit NULL, [U] "
      "nvarchar(20) NULL, CONSTRAINT [PK_tblItem] PRIMARY KEY CLUSTERED ([ItemID] ASC) WITH (PAD_INDEX = OFF) ON "
      "[PRIMARY]) ON [PRIMARY]");
  EXPECT_EQ(c->execute("insert into tblItem (ItemID, ItemName, Rate, Added, Qty, W, Flag, U) values (1, 'O''Brien', "
                       "12.5, '06/Dec/2026', 3, 1.25, 1, N'x')"),
            1);
  auto rs = c->query("select * from tblItem");
  ASSERT_EQ(rs.size(), 1u);
  ASSERT_EQ(rs.fields.size(), 8u);
  EXPECT_EQ(rs.fields[0].type, db::adNumeric);
  EXPECT_EQ(rs.fields[1].type, db::adVarChar);
  EXPECT_EQ(rs.fields[2].type, db::adNumeric);
  EXPECT_EQ(rs.fields[3].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.fields[4].type, db::adInteger);
  EXPECT_EQ(rs.fields[5].type, db::adDouble);
  EXPECT_EQ(rs.fields[6].type, db::adBoolean);
  EXPECT_EQ(rs.fields[7].type, db::adVarWChar);
  EXPECT_EQ(rs.at(0, "ItemName").toString(), "O'Brien");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Rate").storage()).text, "12.50");
  EXPECT_EQ(rs.at(0, "Added").toDateTime()->iso(), "2026-12-06 00:00:00.000");
}

}  // namespace
}  // namespace erpsync::test
