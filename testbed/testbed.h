// The ERP's side of the world for the demo and the tests: embedded servers with company databases.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace erpsync::db {
class Connection;
}

namespace erpsync::testbed {

// The testbed's T-SQL files (name, text), compiled into the binary.
const std::vector<std::pair<std::string_view, std::string_view>>& embeddedSqlFiles();

// The text of one embedded file by name ("company_schema.sql"); throws std::out_of_range when missing.
std::string_view sqlFile(std::string_view name);

// Splits a script into batches at lines holding only GO (any case, blanks around allowed). Batches that
// hold nothing but blanks and comments are dropped; the text of every other batch is kept as written.
std::vector<std::string> splitBatches(std::string_view script);

// Runs every batch of a script on c, in order; the first failure propagates (db::DbError).
void runScript(db::Connection& c, std::string_view script);

// The sa password of the ERP's SQL Server login, which the synchroniser holds.
inline constexpr std::string_view kSaPassword = "PLOVERS318#";

// Connection string of a company database (also used for master and the startup catalog).
std::string companyConnectionString(const std::string& dataSource, const std::string& db);
// The startup catalog's own connection string form.
std::string startupConnectionString(const std::string& dataSource);

struct InitOptions {
  std::filesystem::path home;  // program folder: servers/ and Resources/ are created under it
  int items = 50;              // total items (at least the fixed sample's 5)
  int ledgers = 20;            // total ledgers (at least the fixed sample's 10)
  std::string branchDb = "BR01";
  std::string centralDb = "HO01";
  // Data sources as the settings files name them; relative embedded paths resolve against home.
  std::string branchServer = "embedded:servers/branch";
  std::string centralServer = "embedded:servers/central";
  int branchCostCentre = 2;  // DEFCOSTCENTREID: "Branch One"
};

// Creates both embedded servers afresh (an existing server folder is removed), the startup catalog
// QMRStartup on both, the central company database with masters, stock and head-office vouchers, the
// branch company database with the same masters and no vouchers, and Resources/ServerName.ini and
// Resources/Appsettings.ini pointing at them. Throws db::DbError or std::filesystem::filesystem_error.
void init(const InitOptions& options);

// The company tables the schema creates, in creation order.
std::vector<std::string> tableNames();

// Row count of every company table on c, in tableNames() order.
std::vector<std::pair<std::string, long long>> tableCounts(db::Connection& c);

}  // namespace erpsync::testbed
