// Builds the ERP's side for the demo and the tests: two embedded servers, their startup catalogs, the
// central and branch company databases with sample data, and the settings files that point at them.
#include "testbed.h"

#include <fmt/format.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <set>
#include <stdexcept>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/embedded/embedded_server.h"
#include "db/sql_quote.h"
#include "util/text.h"
#include "util/utf8_path.h"

namespace erpsync::testbed {

namespace {

// A batch separator line: GO in any case, with any white space around it.
bool isGoLine(std::string_view line) {
  return text::iequals(text::trim(line, " \t\n\v\f\r"), "GO");
}

// True when the text holds nothing but blanks and comments.
bool onlyComments(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      auto end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 2;
    } else {
      return false;
    }
  }
  return true;
}

// SQL text of a number: shortest form, no trailing zeros ("62.5", "450").
std::string num(double v) {
  if (v == std::floor(v) && std::fabs(v) < 1e15) return fmt::format("{}", static_cast<long long>(v));
  return fmt::format("{}", v);
}
std::string money(long long cents) {
  return num(static_cast<double>(cents) / 100.0);
}
std::string quote(std::string_view s) {
  return db::sqlQuote(s);
}

std::string insert(std::string_view table, std::string_view columns, const std::vector<std::string>& values) {
  std::string v;
  for (const auto& x : values) {
    if (!v.empty()) v += ", ";
    v += x;
  }
  return fmt::format("INSERT INTO [dbo].[{}] ({}) VALUES ({})", table, columns, v);
}

// Where an embedded data source keeps its files.
std::filesystem::path serverDir(const std::filesystem::path& home, const std::string& dataSource) {
  if (!db::isEmbeddedDataSource(dataSource))
    throw std::invalid_argument("the testbed builds embedded servers only: " + dataSource);
  std::filesystem::path dir = util::pathFromUtf8(dataSource.substr(db::kEmbeddedPrefix.size()));
  return dir.is_absolute() ? dir : home / dir;
}

void writeText(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path());
  auto tmp = p;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + util::pathToUtf8(tmp));
  }
  std::filesystem::rename(tmp, p);
}

struct Item {
  long long id = 0;
  long long prate = 0, srate = 0, mrp = 0;  // cents
  bool expiry = false;
};

// Items beyond the fixed sample: names, categories and rates follow from the item number alone.
std::vector<std::string> generatedItems(int total) {
  static const char* nouns[] = {"Rice Flour", "Wheat Atta",    "Black Tea", "Coffee Powder", "Sugar",    "Rock Salt",
                                "Detergent",  "Floor Cleaner", "Ball Pen",  "Marker",        "Biscuits", "Noodles",
                                "Mango Jam",  "Honey",         "Soap Bar",  "Shampoo"};
  static const char* sizes[] = {"250g", "500g", "1kg", "2kg", "100ml", "500ml", "1L", "Pack of 10"};
  struct CategoryInfo {
    const char* unit;
    int unitId, taxClass, hsn;
  };
  static const CategoryInfo categories[] = {{"KG", 2, 2, 1}, {"NOS", 1, 2, 3}, {"LTR", 3, 4, 4}, {"NOS", 1, 3, 5}};
  std::vector<std::string> out;
  const char* columns =
      "ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, ProductType, Unit, UnitID, AlterUnit, "
      "AlterUnit2, AlterUnitConversion, AlterUnitConversion2, TaxClassID, HSNID, Rack, Manufacturer, BlnExpiryItem, "
      "ItemCRate, PRate, Srate, MRP, PrateAU, SrateAU, MRPAU, PrateAU2, SrateAU2, MRPAU2, MinQty, MaxQty, CreatedDate, "
      "ActiveStatus";
  for (int i = 6; i <= total; ++i) {
    int cat = i % 4;
    const auto& ci = categories[cat];
    std::string name = fmt::format("{} {}", nouns[(i * 7) % 16], sizes[i % 8]);
    long long pr = 1000 + (i * 3779LL) % 40000 / 50 * 50;
    long long sr = (pr * 115 + 50) / 100;
    long long mrp = (sr * 108 + 50) / 100;
    out.push_back(insert("tblItemMaster", columns,
                         {std::to_string(i),
                          quote(fmt::format("IT{:04}", i)),
                          quote(name),
                          quote(name),
                          std::to_string(cat + 1),
                          "1",
                          "'Goods'",
                          quote(ci.unit),
                          std::to_string(ci.unitId),
                          "'BOX'",
                          "''",
                          "12",
                          "1",
                          std::to_string(ci.taxClass),
                          std::to_string(ci.hsn),
                          quote(fmt::format("R{}", 1 + i % 9)),
                          "'Halvex Supplies'",
                          i % 10 == 3 ? "1" : "0",
                          money(pr),
                          money(pr),
                          money(sr),
                          money(mrp),
                          money(pr * 12),
                          money(sr * 12),
                          money(mrp * 12),
                          "0",
                          "0",
                          "0",
                          "5",
                          "500",
                          "'01/Apr/2026'",
                          "1"}));
  }
  return out;
}

std::vector<std::string> generatedLedgers(int total) {
  std::set<int> used = {1, 2, 3, 4, 5, 6, 7, 8, 9, 100};
  std::vector<std::string> out;
  int id = 10;
  for (int n = static_cast<int>(used.size()); n < total; ++n, ++id) {
    while (used.count(id)) ++id;
    bool customer = id % 2 == 1;
    std::string name = fmt::format("{} {:03}", customer ? "Customer" : "Supplier", id);
    out.push_back(insert("tblLedger",
                         "LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, "
                         "TaxRegNo, CreatedDate, ActiveStatus",
                         {std::to_string(id), quote(name), quote(name), customer ? "5" : "6",
                          quote(fmt::format("{} Main Street", id)), quote(fmt::format("98470 {:05}", id * 37)),
                          std::to_string(1 + id % 4), "0", customer ? "50000" : "0", "NULL", "'01/Apr/2026'", "1"}));
  }
  return out;
}

std::vector<Item> readItems(db::Connection& c) {
  auto rs = c.query("SELECT ItemID, PRate, Srate, MRP, BlnExpiryItem FROM tblItemMaster ORDER BY ItemID");
  std::vector<Item> items;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    Item it;
    it.id = rs.at(r, 0).toInt();
    it.prate = std::llround(rs.at(r, 1).toDouble() * 100);
    it.srate = std::llround(rs.at(r, 2).toDouble() * 100);
    it.mrp = std::llround(rs.at(r, 3).toDouble() * 100);
    it.expiry = rs.at(r, 4).toDouble() != 0;
    items.push_back(it);
  }
  return items;
}

// Price lists and board rates of every item (both databases).
std::vector<std::string> itemPrices(const std::vector<Item>& items) {
  std::vector<std::string> out;
  const char* plColumns =
      "PLID, PriceList, blnPercentage, ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, "
      "ActiveStatus, Description, SrPercentAU, PLSrateAU, SrPercentAU2, PLSrateAU2, CalculationType, "
      "BlnShowAsDiscount, UNIQUEID";
  for (const auto& it : items) {
    long long pl = (it.srate * 95 + 50) / 100;
    out.push_back(insert("tblpricelist", plColumns,
                         {"1",
                          "'Wholesale'",
                          "0",
                          std::to_string(it.id),
                          money(it.srate),
                          money(it.mrp),
                          "0",
                          "0",
                          money(pl),
                          money(it.mrp),
                          "0",
                          "1",
                          "'Wholesale rate'",
                          "0",
                          money(pl * 12),
                          "0",
                          "0",
                          "1",
                          "0",
                          std::to_string(it.id)}));
    if (it.id % 5 == 0)
      out.push_back(insert("tblpricelist", plColumns,
                           {"2",
                            "'Staff Price'",
                            "1",
                            std::to_string(it.id),
                            money(it.srate),
                            money(it.mrp),
                            "10",
                            "0",
                            money(it.srate * 90 / 100),
                            money(it.mrp),
                            "0",
                            "1",
                            "'Staff discount'",
                            "10",
                            "0",
                            "0",
                            "0",
                            "2",
                            "1",
                            std::to_string(10000 + it.id)}));
  }
  const char* brColumns = "Vchdate, ItemID, SRate, MRP";
  for (const auto& it : items) {
    // An older rate and the current one; every seventh item has two rows on the current date.
    out.push_back(insert("tblBoardRateMaster", brColumns,
                         {"'01/Nov/2026'", std::to_string(it.id), money(it.srate * 97 / 100), money(it.mrp)}));
    out.push_back(insert("tblBoardRateMaster", brColumns,
                         {"'01/Dec/2026'", std::to_string(it.id), money(it.srate), money(it.mrp)}));
    if (it.id % 7 == 0)
      out.push_back(insert("tblBoardRateMaster", brColumns,
                           {"'01/Dec/2026'", std::to_string(it.id), money(it.srate + 100), money(it.mrp)}));
  }
  return out;
}

std::string batchCode(long long itemId) {
  return itemId == 5 ? "LOT'5" : fmt::format("B{:05}", itemId);
}

// Opening stock of head office (cost centre 1) and Branch One (2) in the central database: one batch
// per item and cost centre, an opening stock journal per cost centre and its stock history.
std::vector<std::string> centralStock(const std::vector<Item>& items) {
  std::vector<std::string> out;
  for (int cc = 1; cc <= 2; ++cc) {
    out.push_back(insert(
        "tblStockJournal",
        "VchID, InvId, InvNo, RefNO, AutoNum, SortNumber, InvDate, VchType, MOP, LedgerId, Party, Discount, TaxType, "
        "TaxAmt, GrossAmt, BillAmt, ComputerName, UsConversion, UserNarration, SalesManID, Cancelled, CCID, "
        "currencyid, "
        "VchTypeid, UserName, CustomField1, UserID, DestCCID, NetAmount, ProfileID, BlnWaitForAuthorisation, BillTime, "
        "LockMode",
        {std::to_string(cc),
         std::to_string(cc),
         quote(fmt::format("OP-{:04}", cc)),
         "''",
         "0",
         std::to_string(cc),
         "'01/Apr/2026'",
         "'Opening Stock'",
         "'Cash'",
         "100",
         "''",
         "0",
         "'<None>'",
         "0",
         "0",
         "0",
         "'HOPC01'",
         "1",
         "'Opening stock'",
         "1",
         "0",
         std::to_string(cc),
         "1",
         "1005",
         "'admin'",
         "''",
         "1",
         "0",
         "0",
         "0",
         "0",
         "'09:00:00 AM'",
         "1"}));
  }
  for (const auto& it : items) {
    for (int cc = 1; cc <= 2; ++cc) {
      long long stockId = it.id * 2 - (cc == 1 ? 1 : 0);
      long long qty = cc == 1 ? 100 + it.id : 10 + (it.id * 7) % 25;
      std::string b = quote(batchCode(it.id));
      std::string expiry = it.expiry ? "'31/Mar/2027'" : "'31/Dec/2027'";
      out.push_back(insert(
          "tblStock",
          "StockID, ItemID, BAtch, BatchID, BatchCode, BatchUnique, Expiry, Qty, QtyAu, QtyAu2, Weight, Prate, Srate, "
          "Crate, Mrp, Vrate, PrateAU, SrateAU, CRateAU, MRPAU, PrateAU2, SrateAU2, CRateAU2, MRPAU2, bSrate, bMRP, "
          "CCID, GodownID, SupplierID, Active",
          {std::to_string(stockId),
           std::to_string(it.id),
           quote(std::to_string(stockId)),
           std::to_string(stockId),
           b,
           b,
           expiry,
           std::to_string(qty),
           "0",
           "0",
           "0",
           money(it.prate),
           money(it.srate),
           money(it.prate),
           money(it.mrp),
           money(it.prate),
           money(it.prate * 12),
           money(it.srate * 12),
           money(it.prate * 12),
           money(it.mrp * 12),
           "0",
           "0",
           "0",
           "0",
           "NULL",
           "NULL",
           std::to_string(cc),
           "1",
           "9",
           "1"}));
      out.push_back(insert("tblStockJournalDetail",
                           "slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, UnitId, Batch, Amount, "
                           "Conversion, RateInclusive, BatchCode, Expiry, AlterUnitConversion, AlterUnitConversion2, "
                           "CCID, SupplierID, GodownID, BatchUnique",
                           {std::to_string(it.id),
                            std::to_string(cc),
                            std::to_string(it.id),
                            std::to_string(qty),
                            "0",
                            money(it.prate),
                            money(it.prate),
                            money(it.srate),
                            money(it.mrp),
                            "1",
                            b,
                            money(it.prate * qty),
                            "1",
                            "'0'",
                            b,
                            expiry,
                            "12",
                            "1",
                            std::to_string(cc),
                            "9",
                            "1",
                            b}));
      out.push_back(insert(
          "tblStockHistory",
          "StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, "
          "QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, "
          "FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, "
          "BatchUnique",
          {"0",
           "'01/Apr/2026'",
           "1005",
           std::to_string(cc),
           "''",
           std::to_string(it.id),
           std::to_string(qty),
           "0",
           "0",
           "0",
           "0",
           "0",
           b,
           expiry,
           money(it.prate * qty),
           "0",
           money(it.srate * qty),
           "0",
           money(it.mrp * qty),
           "0",
           "0",
           "0",
           b,
           std::to_string(cc),
           "0",
           "0",
           money(it.prate),
           money(it.srate),
           money(it.prate),
           money(it.mrp),
           "9",
           "1",
           b}));
    }
  }
  return out;
}

// ---- Day start's cases in Branch One's stock at head office (cost centre 2) ----
// Day start brings head office's stock of the branch's cost centre in as it is, odd rows included: a
// batch written off below zero (item 3 goes out as a negative opening line) and a batch kept in no
// godown (item 4 arrives in godown 1). No stock rows are added, so the stock counts stay as they were.
std::vector<std::string> dayStartCases(const std::vector<Item>& items) {
  std::vector<std::string> out;
  for (const auto& it : items) {
    if (it.id == 3)
      out.push_back(insert(
          "tblStockHistory",
          "StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, "
          "QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, "
          "FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, "
          "BatchUnique",
          {"0",     "'04/Dec/2026'", "1005", "9", "'WRITEOFF'", "3", "0", "0", "0", "50", "0", "0", quote(batchCode(3)),
           "'31/Dec/2027'", "0", money(it.prate * 50), "0", money(it.srate * 50), "0", money(it.mrp * 50), "0", "0",
           quote(batchCode(3)), "2", "0", "0", money(it.prate), money(it.srate), money(it.prate), money(it.mrp), "9",
           "1", quote(batchCode(3))}));
    if (it.id == 4) out.push_back("UPDATE [dbo].[tblStock] SET GodownID = NULL WHERE CCID = 2 AND ItemID = 4");
  }
  return out;
}
// ---- end of day start's cases ----

void runAll(db::Connection& c, const std::vector<std::string>& statements) {
  for (const auto& s : statements) c.execute(s);
}

// Data statements run in one transaction per database: much faster on the embedded server.
template <class F>
void inTransaction(db::Connection& c, F&& f) {
  db::Transaction t(c);
  f();
  t.commit();
}

void createCatalogs(const std::filesystem::path& home, const std::string& dataSource,
                    const std::vector<std::string>& names) {
  auto master = db::openConnection(companyConnectionString(dataSource, "master"), home);
  for (const auto& n : names) master->execute("CREATE DATABASE " + db::sqlBracket(n));
}

void loadStartup(const std::filesystem::path& home, const std::string& dataSource, const std::string& current,
                 const std::string& closed) {
  auto c = db::openConnection(startupConnectionString(dataSource), home);
  runScript(*c, sqlFile("startup_schema.sql"));
  const char* columns =
      "CompanyID, CompanyCode, CompanyName, ApplicationID, active, FinancialYearFrom, FinancialYearTo";
  runAll(
      *c,
      {insert("tblcompany", columns,
              {"1", quote(current), "'Halvex Demo Traders'", "33", "1", "'01/Apr/2026'", "'31/Mar/2027'"}),
       insert("tblcompany", columns,
              {"2", quote(closed), "'Halvex Demo Traders 2025'", "33", "0", "'01/Apr/2025'", "'31/Mar/2026'"}),
       insert("tblcompany", columns, {"3", "'PAY01'", "'Halvex Payroll'", "12", "1", "'01/Apr/2026'", "'31/Mar/2027'"}),
       insert("tblcompany", columns, {"33", "'ARCH33'", "'Archive'", "7", "0", "'01/Apr/2020'", "'31/Mar/2021'"})});
}

void loadCompany(const std::filesystem::path& home, const std::string& dataSource, const std::string& dbName,
                 const InitOptions& o, bool central) {
  auto c = db::openConnection(companyConnectionString(dataSource, dbName), home);
  runScript(*c, sqlFile("company_schema.sql"));
  inTransaction(*c, [&] {
    runScript(*c, sqlFile("company_masters.sql"));
    runScript(*c, sqlFile("app_settings.sql"));
    runAll(*c, generatedItems(o.items));
    runAll(*c, generatedLedgers(o.ledgers));
  });
  auto items = readItems(*c);
  inTransaction(*c, [&] {
    runAll(*c, itemPrices(items));
    if (central) {
      runAll(*c, centralStock(items));
      runScript(*c, sqlFile("central_data.sql"));
      runAll(*c, dayStartCases(items));
    }
  });
}

}  // namespace

std::string_view sqlFile(std::string_view name) {
  for (const auto& [n, text] : embeddedSqlFiles())
    if (n == name) return text;
  throw std::out_of_range("no testbed SQL file " + std::string(name));
}

std::vector<std::string> splitBatches(std::string_view script) {
  std::vector<std::string> batches;
  std::string current;
  bool any = false;
  auto flush = [&] {
    if (any && !onlyComments(current)) batches.push_back(current);
    current.clear();
    any = false;
  };
  std::size_t pos = 0;
  while (pos <= script.size()) {
    auto nl = script.find('\n', pos);
    std::string_view line = script.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    if (isGoLine(line)) {
      flush();
    } else {
      if (any) current += '\n';
      current += line;
      any = true;
    }
    if (nl == std::string_view::npos) break;
    pos = nl + 1;
  }
  flush();
  return batches;
}

void runScript(db::Connection& c, std::string_view script) {
  for (const auto& batch : splitBatches(script)) c.execute(batch);
}

std::string companyConnectionString(const std::string& dataSource, const std::string& db) {
  return "Provider=SQLOLEDB.1;Password=" + std::string(kSaPassword) +
         ";Persist Security Info=True;User ID=sa;Initial Catalog=" + erpsync::db::connectionStringValue(db) +
         ";Data Source=" + erpsync::db::connectionStringValue(dataSource);
}

std::string startupConnectionString(const std::string& dataSource) {
  return "Provider=SQLOLEDB.1;Persist Security Info=False;password=" + std::string(kSaPassword) +
         ";User ID=sa;Initial Catalog=QMRStartup;Data Source=" + db::connectionStringValue(dataSource);
}

void init(const InitOptions& o) {
  const auto home = std::filesystem::absolute(o.home);
  for (const auto* ds : {&o.branchServer, &o.centralServer}) {
    auto dir = serverDir(home, *ds);
    std::filesystem::remove_all(dir);
    db::embedded::createServer(dir);
  }
  createCatalogs(home, o.branchServer, {"QMRStartup", o.branchDb});
  createCatalogs(home, o.centralServer, {"QMRStartup", o.centralDb});
  loadStartup(home, o.branchServer, o.branchDb, "OLD01");
  loadStartup(home, o.centralServer, o.centralDb, "HO00");
  loadCompany(home, o.centralServer, o.centralDb, o, true);
  loadCompany(home, o.branchServer, o.branchDb, o, false);

  // The voucher types the branch operator ticks: every type of the branch's cost centre that is meant
  // for client synchronisation.
  std::string types;
  {
    auto branch = db::openConnection(companyConnectionString(o.branchServer, o.branchDb), home);
    auto rs = branch->query("SELECT VchTypeID FROM tblVchType WHERE PrimaryCCIDS='" +
                            std::to_string(o.branchCostCentre) + "' AND BLNUseForClientSync=1 ORDER BY VchTypeID");
    for (std::size_t r = 0; r < rs.size(); ++r) types += rs.at(r, 0).toString() + ";";
  }

  // The settings as the settings wizard and the operator leave them; the high-water marks start afresh.
  const auto resources = home / "Resources";
  std::filesystem::create_directories(resources);
  std::filesystem::remove(resources / "AppsettingsLoop.ini");
  writeText(resources / "ServerName.ini", o.branchServer);
  writeText(resources / "Appsettings.ini", "SYNCSERVER=" + o.centralServer + "\r\nLOCALDBCODE=" + o.branchDb +
                                               "\r\nWEBDBCODE=" + o.centralDb +
                                               "\r\nKEEPAUTOSYNCHON=0\r\nBLNSHOWDAYSTARTEND=1\r\nDEFCOSTCENTREID=" +
                                               std::to_string(o.branchCostCentre) + "\r\nSYNCHVCHTYPEIDS=" + types);
}

std::vector<std::string> tableNames() {
  // Every "CREATE TABLE [dbo].[name]" of the company schema, in order.
  std::vector<std::string> names;
  std::string_view text = sqlFile("company_schema.sql");
  const std::string_view marker = "CREATE TABLE [dbo].[";
  for (auto pos = text.find(marker); pos != std::string_view::npos; pos = text.find(marker, pos)) {
    pos += marker.size();
    auto end = text.find(']', pos);
    names.emplace_back(text.substr(pos, end - pos));
  }
  return names;
}

std::vector<std::pair<std::string, long long>> tableCounts(db::Connection& c) {
  std::vector<std::pair<std::string, long long>> counts;
  for (const auto& t : tableNames()) {
    auto rs = c.query("SELECT COUNT(*) AS Nos FROM [" + t + "]");
    counts.emplace_back(t, rs.empty() ? 0 : rs.at(0, 0).toInt());
  }
  return counts;
}

}  // namespace erpsync::testbed
