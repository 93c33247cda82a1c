// TRUNCATE TABLE as SQL Server runs it: every row goes, no DELETE trigger fires (so the change log
// gets no spurious rows), the identity starts again from its seed, and a rollback undoes it all.
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

class EmbeddedTruncate : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute("CREATE TABLE tblItem (ItemID int IDENTITY(1,1) NOT NULL PRIMARY KEY, Name varchar(40))");
    c->execute("CREATE TABLE tblSeeded (ID numeric(18,0) IDENTITY(100,5) NOT NULL, Name varchar(40))");
    c->execute("CREATE TABLE tblLog (Action varchar(10), N int)");
    c->execute(
        "create trigger Trig_ItemDelete on tblItem for delete as insert into tblLog (Action, N) select 'Deleted', "
        "count(*) from deleted");
    c->execute(
        "create trigger Trig_ItemInsert on tblItem for insert as insert into tblLog (Action, N) select 'Inserted', "
        "count(*) from inserted");
    c->execute("insert into tblItem (Name) values ('a'), ('b'), ('c')");
    c->execute("insert into tblSeeded (Name) values ('a'), ('b')");
    c->execute("delete from tblLog");
  }
  long long count(const std::string& table) { return c->query("select count(*) from " + table).at(0, 0).toInt(); }
};

TEST_F(EmbeddedTruncate, RemovesEveryRowWithoutFiringTriggersAndRestartsTheIdentity) {
  // SQL Server sends no row count for TRUNCATE: the batch reports none (-1) and @@ROWCOUNT is 0.
  EXPECT_EQ(c->execute("TRUNCATE TABLE tblItem"), -1);
  EXPECT_EQ(count("tblItem"), 0);
  EXPECT_EQ(count("tblLog"), 0);
  EXPECT_EQ(c->query("truncate table [dbo].[tblSeeded] select @@ROWCOUNT").at(0, 0).toInt(), 0);

  c->execute("insert into tblItem (Name) values ('x'), ('y')");
  c->execute("insert into tblSeeded (Name) values ('x')");
  EXPECT_EQ(c->query("select min(ItemID), max(ItemID) from tblItem").at(0, 1).toInt(), 2);
  EXPECT_EQ(c->query("select min(ItemID) from tblItem").at(0, 0).toInt(), 1);
  EXPECT_EQ(c->query("select ID from tblSeeded").at(0, 0).toInt(), 100);

  // The triggers still work afterwards and see only their own statement's rows.
  EXPECT_EQ(c->execute("delete from tblItem where ItemID = 1"), 1);
  auto rs = c->query("select Action, N from tblLog order by Action");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Deleted");
  EXPECT_EQ(rs.at(0, "N").toInt(), 1);
  EXPECT_EQ(rs.at(1, "Action").toString(), "Inserted");
  EXPECT_EQ(rs.at(1, "N").toInt(), 2);
}

TEST_F(EmbeddedTruncate, InsideATransactionARollbackBringsRowsAndIdentityBack) {
  c->beginTrans();
  c->execute("truncate table tblItem");
  EXPECT_EQ(count("tblItem"), 0);
  c->rollbackTrans();
  EXPECT_EQ(count("tblItem"), 3);
  c->execute("insert into tblItem (Name) values ('d')");
  EXPECT_EQ(c->query("select ItemID from tblItem where Name = 'd'").at(0, 0).toInt(), 4);

  // The same inside a batch's own transaction.
  c->execute("begin tran truncate table tblSeeded rollback tran");
  EXPECT_EQ(count("tblSeeded"), 2);
  c->execute("insert into tblSeeded (Name) values ('c')");
  EXPECT_EQ(c->query("select max(ID) from tblSeeded").at(0, 0).toInt(), 110);
  EXPECT_EQ(count("tblLog"), 1);  // only the insert of 'd' was logged
}

TEST_F(EmbeddedTruncate, AMissingTableIsAnInvalidObjectName) {
  EXPECT_NE(errorOf(*c, "truncate table tblNothing").find("Invalid object name 'tblNothing'"), std::string::npos);
  EXPECT_EQ(count("tblItem"), 3);
}

}  // namespace
}  // namespace erpsync::test
