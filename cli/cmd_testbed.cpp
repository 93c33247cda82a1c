// erpsync-cli testbed init / demo: fresh embedded branch and central servers with the sample company.
#include "cmd_testbed.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "db/connection.h"
#include "testbed.h"
#include "util/utf8_path.h"

namespace erpsync::cli {

namespace {

int runInit(const testbed::InitOptions& o, std::ostream& out, std::ostream& err) {
  try {
    testbed::init(o);
  } catch (const db::DbError& e) {
    err << e.description() << '\n';
    return 1;
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return 1;
  }
  out << "Branch " << o.branchDb << " on " << o.branchServer << ", central " << o.centralDb << " on " << o.centralServer
      << ", settings in " << util::pathToUtf8(std::filesystem::absolute(o.home) / "Resources") << '\n';
  return 0;
}

}  // namespace

int runDemo(const testbed::InitOptions& o, std::ostream& out, std::ostream& err) {
  if (int rc = runInit(o, out, err)) return rc;
  try {
    for (const auto& [server, dbName] :
         {std::pair{o.branchServer, o.branchDb}, std::pair{o.centralServer, o.centralDb}}) {
      auto c = db::openConnection(testbed::companyConnectionString(server, dbName), std::filesystem::absolute(o.home));
      for (const auto& [table, count] : testbed::tableCounts(*c))
        out << dbName << '.' << table << '\t' << count << '\n';
    }
  } catch (const db::DbError& e) {
    err << e.description() << '\n';
    return 1;
  }
  return 0;
}

void addTestbedCommands(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<testbed::InitOptions>();
  auto home = std::make_shared<std::string>();

  auto* tb = app.add_subcommand("testbed", "The ERP's side: sample company databases on embedded servers");
  tb->require_subcommand(1);
  auto* init = tb->add_subcommand("init", "Create fresh embedded branch and central servers with sample data");
  init->add_option("--home", *home, "Program folder (servers/ and Resources/ are created in it)")->required();
  init->add_option("--items", opts->items, "Number of items")->check(CLI::Range(1, 1000000));
  init->add_option("--ledgers", opts->ledgers, "Number of ledgers")->check(CLI::Range(1, 1000000));
  init->callback([opts, home, &exitCode] {
    opts->home = util::pathFromUtf8(*home);
    exitCode = runInit(*opts, std::cout, std::cerr);
  });

  auto* demo = app.add_subcommand("demo", "Create the testbed afresh and show the row count of every table");
  demo->add_option("--home", *home, "Program folder")->required();
  demo->callback([opts, home, &exitCode] {
    opts->home = util::pathFromUtf8(*home);
    exitCode = runDemo(*opts, std::cout, std::cerr);
  });
}

}  // namespace erpsync::cli
