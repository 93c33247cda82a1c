// A testbed program folder whose servers erpsync-cli has upgraded ("update-database --yes"), with
// direct connections to both company databases, for the tests that drive the headless verbs. The
// folder is a copy of one made once per build of erpsync-cli (prepared_folder.h).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "db/connection.h"
#include "prepared_folder.h"
#include "process_runner.h"
#include "shared/connections.h"
#include "test_support.h"

namespace erpsync::test {

class CliTestbed : public ::testing::Test {
 protected:
  void SetUp() override {
    copyTestbed(home.path(), {6, 10, true});
    branch = db::openConnection(companyConnectionString("BR01", "embedded:servers/branch"), home.path());
    central = db::openConnection(companyConnectionString("HO01", "embedded:servers/central"), home.path());
  }
  std::string homeArg() const { return "--home '" + home.path().string() + "'"; }

  TempDir home;
  std::unique_ptr<db::Connection> branch, central;
};

}  // namespace erpsync::test
