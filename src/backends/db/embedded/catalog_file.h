// The SQLite files of an embedded server: one per catalog, holding the data tables and the
// catalog's own description of them (SQL Server column types, identities, constraints, triggers).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "db/embedded/translator.h"

struct sqlite3;

namespace erpsync::db::embedded {

struct CiLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
using TableMap = std::map<std::string, TableInfo, CiLess>;

struct TriggerDef {
  std::string name;
  std::string table;
  bool onInsert = false, onUpdate = false, onDelete = false;
  std::string definition;
};

inline constexpr std::string_view kCatalogExtension = ".sqlite";

// The file of a catalog in a server directory, matching the name without regard to case.
std::optional<std::filesystem::path> findCatalogFile(const std::filesystem::path& serverDir, std::string_view catalog);
// Creates an empty catalog file (WAL mode, with the catalog's description tables).
void initCatalogFile(const std::filesystem::path& file);

// Reads the description of every table of the schema `alias` ("main" or an attached alias).
TableMap loadTables(sqlite3* db, const std::string& alias);
std::vector<TriggerDef> loadTriggers(sqlite3* db);

}  // namespace erpsync::db::embedded
