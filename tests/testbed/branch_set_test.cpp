// Several branches reporting to one head office: each folder's settings name its own cost centre, its
// voucher types and the shared central server, and the synchroniser connects with them as they are.
#include <gtest/gtest.h>

#include "branches.h"
#include "db/connection.h"
#include "process_runner.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

long long scalar(db::Connection& c, const std::string& sql) {
  return c.query(sql).at(0, 0).toInt();
}

TEST(BranchSet, EveryBranchHasItsCostCentreTypesAndTheSharedHeadOffice) {
  test::TempDir tmp;
  testbed::BranchSetOptions o;
  o.root = tmp.path();
  o.branches = 2;
  o.items = 6;
  o.ledgers = 10;
  const auto set = testbed::initBranchSet(o);
  ASSERT_EQ(set.branches.size(), 2u);
  EXPECT_EQ(set.centralServer, "embedded:" + (tmp.path() / "b1" / "servers" / "central").string());
  // Only the first folder holds a head office.
  EXPECT_TRUE(std::filesystem::exists(tmp.path() / "b1" / "servers" / "central"));
  EXPECT_FALSE(std::filesystem::exists(tmp.path() / "b2" / "servers" / "central"));

  auto central = db::openConnection(testbed::companyConnectionString(set.centralServer, set.centralDb), tmp.path());
  for (const auto& b : set.branches) {
    auto branch = db::openConnection(testbed::companyConnectionString("embedded:servers/branch", b.branchDb), b.home);
    for (db::Connection* c : {central.get(), branch.get()}) {
      EXPECT_EQ(scalar(*c, "SELECT count(*) FROM tblVchType WHERE BLNUseForClientSync=1 AND PrimaryCCIDS='" +
                               std::to_string(b.costCentre) + "'"),
                7);
      auto name = c->query("SELECT CCName FROM tblCostCentre WHERE CCID=" + std::to_string(b.costCentre));
      ASSERT_EQ(name.size(), 1u);
      EXPECT_EQ(name.at(0, 0).toString(), b.costCentreName);
    }
    // The sample's own cost centres and types are still there, once.
    EXPECT_EQ(scalar(*branch, "SELECT count(*) FROM tblVchType WHERE VchTypeID IN (201, 301)"), 2);
  }
  // Adding the same cost centres again adds nothing.
  const long long types = scalar(*central, "SELECT count(*) FROM tblVchType");
  testbed::addCostCentres(*central, testbed::kFirstGeneratedCostCentre, testbed::kFirstGeneratedCostCentre + 1);
  EXPECT_EQ(scalar(*central, "SELECT count(*) FROM tblVchType"), types);

  // The second branch connects to the shared head office as its own cost centre with its own types.
  const std::string home = " --yes --home '" + set.branches[1].home.string() + "'";
  auto r = test::runCli("update-database" + home);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  r = test::runCli("connect" + home);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Cost centre: Branch 5 (5)"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Sales B5 (1051)"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("B4"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Central server: " + set.centralServer), std::string::npos) << r.output;
}

}  // namespace
}  // namespace erpsync
