// erpsync-cli testbed init / demo: fresh embedded branch and central servers with the sample company;
// testbed erp: the ERP at a branch, voucher by voucher.
#include "cmd_testbed.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <random>
#include <vector>

#include "app/console_host.h"
#include "cmd_app.h"
#include "db/connection.h"
#include "settings/settings_files.h"
#include "simulator.h"
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

// A voucher of the branch the ERP may still change: not locked by a day end.
struct Open {
  testbed::VoucherFamily family;
  long long id;
};

std::vector<Open> openVouchers(db::Connection& branch, int costCentre, bool uploaded) {
  std::vector<Open> out;
  for (auto f : testbed::kVoucherFamilies) {
    auto rs = branch.query(std::string("SELECT ") + testbed::keyColumn(f) + " FROM " + testbed::headerTable(f) +
                           " WHERE CCID = " + std::to_string(costCentre) + " AND isnull(LockMode,0) = 0 AND " +
                           (uploaded ? "isnull(SyncStat,0) = 1" : "isnull(SyncStat,0) <> 1"));
    for (std::size_t r = 0; r < rs.size(); ++r) out.push_back({f, rs.at(r, 0).toInt()});
  }
  return out;
}

}  // namespace

int runErp(const ErpOptions& o, std::ostream& out, std::ostream& err) {
  try {
    ConsoleHost host(out, err);
    std::string localDb;
    settings::ReadWriteSetting(host, settings::appSettingsPath(o.home), "LOCALDBCODE", localDb, false);
    auto branch = db::openConnection(
        testbed::companyConnectionString(settings::ReadLocalServerName(o.home), localDb), o.home);
    testbed::BranchErp erp(*branch, o.costCentre, o.seed);
    std::mt19937 dice(o.seed);
    auto below = [&dice](std::size_t n) { return static_cast<std::size_t>(dice() % n); };
    const auto now = branch->query("SELECT getdate()").at(0, 0).toDateTime();
    if (!now) throw std::runtime_error("the branch server has no date");
    // Half of them sales, the rest orders, stock journals, job cards, receipts and payments.
    static const testbed::VoucherFamily mix[] = {
        testbed::VoucherFamily::Sales,        testbed::VoucherFamily::Sales,   testbed::VoucherFamily::Sales,
        testbed::VoucherFamily::Sales,        testbed::VoucherFamily::Order,   testbed::VoucherFamily::StockJournal,
        testbed::VoucherFamily::JobCard,      testbed::VoucherFamily::Note};
    for (int i = 0; i < o.vouchers; ++i) erp.enter(mix[below(std::size(mix))], *now);
    // Edits and deletions take turns between vouchers already uploaded and vouchers still waiting,
    // whichever there are.
    int edited = 0, editedAfter = 0, deleted = 0, deletedAfter = 0;
    for (int i = 0; i < o.edits + o.deletes; ++i) {
      const bool edit = i < o.edits;
      bool uploaded = i % 2 == 0;
      auto pool = openVouchers(*branch, o.costCentre, uploaded);
      if (pool.empty()) pool = openVouchers(*branch, o.costCentre, uploaded = !uploaded);
      if (pool.empty()) break;
      const Open v = pool[below(pool.size())];
      if (edit) {
        erp.edit(v.family, v.id, static_cast<testbed::LineEdit>(below(4)));
        ++edited;
        editedAfter += uploaded ? 1 : 0;
      } else {
        erp.remove(v.family, v.id);
        ++deleted;
        deletedAfter += uploaded ? 1 : 0;
      }
    }
    out << "entered " << o.vouchers << ", edited " << edited << " (" << editedAfter << " after upload), deleted "
        << deleted << " (" << deletedAfter << " after upload)" << std::endl;
    return kExitOk;
  } catch (const db::DbError& e) {
    err << e.description() << '\n';
  } catch (const std::exception& e) {
    err << e.what() << '\n';
  }
  return kExitOperationError;
}

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

  auto erpOptions = std::make_shared<ErpOptions>();
  auto* erp = tb->add_subcommand(
      "erp", "Play the ERP at a branch voucher by voucher: new vouchers, then edits and deletions of vouchers "
             "already uploaded and still waiting");
  erp->add_option("--home", *home, "Program folder (its Resources name the branch server and database)")->required();
  erp->add_option("--vouchers", erpOptions->vouchers, "new vouchers (default 10)")->check(CLI::NonNegativeNumber);
  erp->add_option("--edits", erpOptions->edits, "vouchers edited (default 0)")->check(CLI::NonNegativeNumber);
  erp->add_option("--deletes", erpOptions->deletes, "vouchers deleted (default 0)")->check(CLI::NonNegativeNumber);
  erp->add_option("--cost-centre", erpOptions->costCentre, "the branch's cost centre id (default 2)");
  erp->add_option("--seed", erpOptions->seed, "seed of the choices (default 1)");
  erp->callback([erpOptions, home, &exitCode] {
    erpOptions->home = resolveProgramFolder(*home);
    exitCode = runErp(*erpOptions, std::cout, std::cerr);
  });

  auto* demo = app.add_subcommand("demo", "Create the testbed afresh and show the row count of every table");
  demo->add_option("--home", *home, "Program folder")->required();
  demo->callback([opts, home, &exitCode] {
    opts->home = util::pathFromUtf8(*home);
    exitCode = runDemo(*opts, std::cout, std::cerr);
  });
}

}  // namespace erpsync::cli
