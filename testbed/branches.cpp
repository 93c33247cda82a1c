// Several branches and one head office: a testbed per branch folder, with the branches' settings
// pointed at the first folder's central server and a cost centre of its own for each branch.
#include "branches.h"

#include <fmt/format.h>

#include <fstream>
#include <sstream>

#include "db/connection.h"
#include "db/sql_quote.h"
#include "testbed.h"
#include "util/utf8_path.h"

namespace erpsync::testbed {

namespace {

struct Family {
  int parent;
  const char* name;
  const char* letter;
};

// Every family the synchroniser uploads, as the branch's own voucher types.
constexpr Family kFamilies[] = {{1, "Sales", "S"},         {7, "Receipt", "R"},      {8, "Payment", "P"},
                                {5, "Stock Journal", "J"}, {14, "Sales Order", "O"}, {18, "Job Card", "C"},
                                {3, "Sales Return", "T"}};

long long vchTypeId(int costCentre, int family) {
  return 1000 + costCentre * 10LL + family + 1;
}

std::string readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Replaces the value of every "KEY=" line of a settings file (CR LF lines).
std::string withSetting(const std::string& text, const std::string& key, const std::string& value) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto end = text.find("\r\n", pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (line.rfind(key + "=", 0) == 0) line = key + "=" + value;
    out += line;
    if (end == std::string::npos) break;
    out += "\r\n";
    pos = end + 2;
  }
  return out;
}

}  // namespace

std::string generatedCostCentreName(int costCentre) {
  return fmt::format("Branch {}", costCentre);
}

void addCostCentres(db::Connection& company, int first, int last) {
  db::Transaction t(company);
  for (int cc = first; cc <= last; ++cc) {
    if (company.query(fmt::format("SELECT CCID FROM tblCostCentre WHERE CCID={}", cc)).empty())
      company.execute(fmt::format(
          "INSERT INTO [dbo].[tblCostCentre] (CCID, CCName, CCCode, Address, Phone, ActiveStatus) VALUES ({}, {}, {}, "
          "NULL, NULL, 1)",
          cc, db::sqlQuote(generatedCostCentreName(cc)), db::sqlQuote(fmt::format("B{}", cc))));
    for (int f = 0; f < static_cast<int>(std::size(kFamilies)); ++f) {
      const long long id = vchTypeId(cc, f);
      if (!company.query(fmt::format("SELECT VchTypeID FROM tblVchType WHERE VchTypeID={}", id)).empty()) continue;
      const Family& fam = kFamilies[f];
      const std::string shortName = fmt::format("{}{}", fam.letter, cc);
      company.execute(
          fmt::format("INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, "
                      "BLNUseForClientSync, SortOrder, ActiveStatus) VALUES ({}, {}, {}, {}, {}, {}, 1, {}, 1)",
                      id, db::sqlQuote(fmt::format("{} B{}", fam.name, cc)), fam.parent, db::sqlQuote(shortName),
                      db::sqlQuote(shortName), db::sqlQuote(std::to_string(cc)), id));
    }
  }
  t.commit();
}

BranchSet branchSetAt(const BranchSetOptions& o) {
  BranchSet set;
  const auto root = std::filesystem::absolute(o.root);
  for (int b = 0; b < o.branches; ++b) {
    BranchHome bh;
    bh.home = root / fmt::format("b{}", b + 1);
    bh.branchDb = fmt::format("BR{:02}", b + 1);
    bh.costCentre = kFirstGeneratedCostCentre + b;
    bh.costCentreName = generatedCostCentreName(bh.costCentre);
    set.branches.push_back(bh);
  }
  set.centralServer = "embedded:" + util::pathToUtf8(root / "b1" / "servers" / "central");
  set.centralDb = InitOptions{}.centralDb;
  return set;
}

BranchSet initBranchSet(const BranchSetOptions& o) {
  const BranchSet set = branchSetAt(o);
  const int lastCc = kFirstGeneratedCostCentre + o.branches - 1;
  for (const BranchHome& bh : set.branches) {
    InitOptions io;
    io.home = bh.home;
    io.items = o.items;
    io.ledgers = o.ledgers;
    io.branchDb = bh.branchDb;
    io.branchCostCentre = bh.costCentre;
    io.centralDb = set.centralDb;
    init(io);
    if (&bh == &set.branches.front()) {
      auto central = db::openConnection(companyConnectionString(set.centralServer, set.centralDb), bh.home);
      addCostCentres(*central, kFirstGeneratedCostCentre, lastCc);
    } else {
      std::filesystem::remove_all(bh.home / "servers" / "central");
    }
    auto branch = db::openConnection(companyConnectionString(io.branchServer, bh.branchDb), bh.home);
    addCostCentres(*branch, kFirstGeneratedCostCentre, lastCc);
    std::string types;
    for (int f = 0; f < static_cast<int>(std::size(kFamilies)); ++f)
      types += std::to_string(vchTypeId(bh.costCentre, f)) + ";";
    const auto ini = bh.home / "Resources" / "Appsettings.ini";
    std::string text = withSetting(readAll(ini), "SYNCSERVER", set.centralServer);
    text = withSetting(text, "SYNCHVCHTYPEIDS", types);
    std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
  }
  return set;
}

}  // namespace erpsync::testbed
