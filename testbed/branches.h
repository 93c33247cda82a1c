// Several branches reporting to one head office, for load runs: each branch has its own program
// folder, branch server, company database and cost centre; all share the first folder's central server.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace erpsync::db {
class Connection;
}

namespace erpsync::testbed {

// The cost centres the branches of a set use: 4, 5, ... (the sample company has 1 to 3). Each gets the
// voucher types of every family the synchroniser uploads, meant for client synchronisation.
inline constexpr int kFirstGeneratedCostCentre = 4;

// "Branch 4": the cost centre's name, which is also the holder name in the push lock row.
std::string generatedCostCentreName(int costCentre);

// Adds cost centres first..last with their voucher types to a company database (ids that are there
// already are left alone). Returns nothing; throws db::DbError.
void addCostCentres(db::Connection& company, int first, int last);

struct BranchSetOptions {
  std::filesystem::path root;  // one program folder per branch is made under it: b1, b2, ...
  int branches = 2;
  int items = 20;
  int ledgers = 12;
};

struct BranchHome {
  std::filesystem::path home;
  std::string branchDb;  // BR01, BR02, ...
  int costCentre = 0;
  std::string costCentreName;
};

struct BranchSet {
  std::vector<BranchHome> branches;
  std::string centralServer;  // embedded:<absolute directory>, the first branch's central server
  std::string centralDb;
};

// The set the options describe, as initBranchSet makes it (nothing is created or opened).
BranchSet branchSetAt(const BranchSetOptions& options);

// Creates the branches afresh. The first folder's central server is the head office of all of them;
// the central servers the other folders' testbeds would have are not made. Throws db::DbError or
// std::filesystem::filesystem_error.
BranchSet initBranchSet(const BranchSetOptions& options);

}  // namespace erpsync::testbed
