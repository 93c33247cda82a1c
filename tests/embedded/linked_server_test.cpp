// Linked servers set up by the system procedures, reached through four-part names.
#include "app/form_binding.h"
#include "embedded_test_util.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"

namespace erpsync::test {
namespace {

class EmbeddedLinked : public EmbeddedFixture {
 protected:
  ScriptedHost host;  // strict: any message box (a failed statement) fails the test
  FixedClock clock{db::DateTime{2026, 12, 6, 10, 0, 0}};
  MainForm form;
  WindowContext ctx{host, clock, form, base()};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  db::Connection* branch = nullptr;
  std::unique_ptr<db::Connection> central;
  void SetUp() override {
    central = server("central", "W");
    ctx.LocalConnection = server("branch", "B");
    branch = ctx.LocalConnection.get();
    for (auto* c : {central.get(), branch}) {
      c->execute(
          "CREATE TABLE tblSales (InvID numeric(18,0) NOT NULL, InvNo varchar(20), InvDate datetime, Party "
          "varchar(50), CONSTRAINT PK_tblSales PRIMARY KEY (InvID))");
      c->execute(
          "CREATE TABLE TBLSTOCK (CCID numeric(18,0), BatchUnique varchar(50), ItemID numeric(18,0), Active "
          "numeric(18,0))");
    }
    central->execute("insert into tblSales values (1, 'A1', '06/Dec/2026', 'X')");
    central->execute("insert into tblSales values (2, 'A2', '06/Dec/2026', 'Y')");
    central->execute("insert into TBLSTOCK values (1, 'B1', 7, 0)");
    branch->execute("insert into tblSales values (1, 'A1', '06/Dec/2026', 'X')");
    branch->execute("insert into TBLSTOCK values (1, 'b1', 7, NULL)");
    branch->execute("insert into TBLSTOCK values (1, 'B2', 7, NULL)");
  }
  // The synchroniser's own set-up of the linked server, run on the branch connection.
  void configure(const std::string& name) { ConfigureLinkedServer(ctx, name); }
};

TEST_F(EmbeddedLinked, SystemProceduresCreateAndRecreateTheServer) {
  configure("central");
  configure("central");  // the second run drops it first
  auto rs = branch->query("select name, server_id from sys.servers order by server_id");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "server_id").toInt(), 0);
  EXPECT_EQ(rs.at(0, "name").toString(), "branch");
  EXPECT_EQ(rs.at(1, "name").toString(), "central");
}

TEST_F(EmbeddedLinked, FourPartNamesJoinInsertSelectAndCorrelatedUpdate) {
  configure("central");
  auto rs = branch->query(
      "select s.InvNo, m.Party from tblSales s inner join [central].W.dbo.tblSales m on m.InvID = s.InvID");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Party").toString(), "X");
  // Vouchers the central database lacks / holds: NOT IN over the linked table.
  EXPECT_EQ(branch
                ->query("select InvID from [central].W.dbo.tblSales M where M.InvNo not in (select InvNo from "
                        "tblSales) and invdate='06/Dec/2026'")
                .size(),
            1u);
  branch->execute("Delete from tblSales");
  EXPECT_EQ(branch->execute("Insert into tblSales select * from [central].W.dbo.tblSales"), 2);
  EXPECT_EQ(branch->execute("Insert into tblSales(InvID,InvNo) select InvID+10,InvNo from [central].W.dbo.tblSales"),
            2);
  branch->execute(
      " Update TBLSTOCK SET  Active = (SELECT  Active FROM [central].W.dbo.TBLSTOCK AS st WHERE (TBLSTOCK.CCID = CCID) "
      "AND (TBLSTOCK.BatchUnique = BatchUnique) AND (TBLSTOCK.ItemID = ItemID))  ");
  branch->execute(" Update TBLSTOCK SET  Active = 1 WHERE  Active IS NULL ");
  auto st = branch->query("select BatchUnique, Active from TBLSTOCK order by BatchUnique");
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st.at(0, "Active").toInt(), 0);  // 'b1' matches the central 'B1' without regard to case
  EXPECT_EQ(st.at(1, "Active").toInt(), 1);
  // Writes through the linked server reach the central catalog.
  branch->execute("update [central].W.dbo.tblSales set Party = 'Z' where InvID = 2");
  EXPECT_EQ(central->query("select Party from tblSales where InvID = 2").at(0, 0).toString(), "Z");
  branch->execute("delete from [central].W.dbo.tblSales where InvID = 2");
  EXPECT_EQ(central->query("select count(*) from tblSales").at(0, 0).toInt(), 1);
}

TEST_F(EmbeddedLinked, UnknownServerAndDataAccessOff) {
  EXPECT_EQ(errorOf(*branch, "select * from [nowhere].W.dbo.tblSales"),
            "Could not find server 'nowhere' in sys.servers. Verify that the correct server name was specified. If "
            "necessary, execute the stored procedure sp_addlinkedserver to add the server to sys.servers.");
  configure("central");
  branch->execute("EXEC master.dbo.sp_serveroption @server=N'central', @optname=N'data access', @optvalue=N'false'");
  EXPECT_EQ(errorOf(*branch, "select * from [central].W.dbo.tblSales"),
            "Server 'central' is not configured for DATA ACCESS.");
  EXPECT_EQ(errorOf(*branch, "EXEC master.dbo.sp_dropserver @server=N'central'"),
            "There are still remote logins or linked logins for the server 'central'.");
  branch->execute("EXEC master.dbo.sp_dropserver @server=N'central', @droplogins='droplogins'");
  EXPECT_NE(errorOf(*branch, "select * from [central].W.dbo.tblSales").find("Could not find server 'central'"),
            std::string::npos);
}

TEST_F(EmbeddedLinked, EmbeddedPathNamesAndOtherCatalogs) {
  configure("embedded:central");
  EXPECT_EQ(branch->query("select count(*) from [embedded:central].W.dbo.tblSales").at(0, 0).toInt(), 2);
  // Three-part names reach another catalog of the same server.
  auto other = server("branch", "B2");
  other->execute("CREATE TABLE t (x int)");
  other->execute("insert into t values (5)");
  EXPECT_EQ(branch->query("select x from B2.dbo.t").at(0, 0).toInt(), 5);
  EXPECT_EQ(errorOf(*branch, "select * from Nope.dbo.t"),
            "Database 'Nope' does not exist. Make sure that the name is entered correctly.");
}

}  // namespace
}  // namespace erpsync::test
