// The headless migrate-mismatched-items verb on a testbed: only the masters whose counts differ are
// migrated again.
#include <gtest/gtest.h>

#include <string>

#include "cli_testbed.h"
#include "process_runner.h"

namespace erpsync {
namespace {

using test::runCli;

class MigrationVerbs : public test::CliTestbed {
 protected:
  long long scalar(db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); }
};

TEST_F(MigrationVerbs, MismatchedItemsMigratesTheRedMastersOnly) {
  // A new area at head office makes the area counts differ; a renamed item leaves the counts equal.
  central->execute("INSERT INTO tblArea (AreaID, AreaName) VALUES (77, 'New zone')");
  central->execute("UPDATE tblItemMaster SET ItemName = 'renamed' WHERE ItemID = 1");
  auto r = runCli("migrate-mismatched-items " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Migrated: tblArea\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Counts still differing:\n"), std::string::npos) << r.output;
  EXPECT_EQ(branch->query("SELECT AreaName FROM tblArea WHERE AreaID = 77").at(0, 0).toString(), "New zone");
  EXPECT_EQ(scalar(*branch, "SELECT count(*) FROM tblArea"), scalar(*central, "SELECT count(*) FROM tblArea"));
  EXPECT_NE(branch->query("SELECT ItemName FROM tblItemMaster WHERE ItemID = 1").at(0, 0).toString(), "renamed");

  // In step now: nothing left to migrate.
  r = runCli("migrate-mismatched-items --bulk " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Migrated:\n"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace erpsync
