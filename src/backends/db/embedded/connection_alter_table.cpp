// ALTER TABLE: adding, altering and dropping columns, adding and dropping constraints. The catalog's
// own description of the table changes with the SQLite table, in one transaction; where SQLite
// cannot alter a table in place (a NOT NULL or identity column added, a column's type changed, a
// column dropped) the table is rebuilt with its rows.
#include <iterator>

#include "db/embedded/connection_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using Impl = EmbeddedConnection::Impl;

namespace {

// The columns an ADD brings, checked against the table's own and each other.
std::vector<ColumnInfo> columnsToAdd(Impl& im, const TableInfo& t, const AlterTableStmt& s) {
  std::vector<ColumnInfo> added;
  for (auto& d : s.columns) {
    bool dup = t.find(d.name) >= 0;
    for (auto& a : added)
      if (iequals(a.name, d.name)) dup = true;
    if (dup)
      throw DbError("Column names in each table must be unique. Column name '" + d.name + "' in table '" + t.name +
                        "' is specified more than once.",
                    "42S21", 2705);
    added.push_back(im.columnFrom(d));
  }
  bool identityAdded = false;
  for (auto& a : added) {
    if (!a.identity) continue;
    if (t.identityColumn() >= 0 || identityAdded)
      throw DbError("Multiple identity columns specified for table '" + t.name +
                        "'. Only one identity column per table is allowed.",
                    "42000", 2744);
    identityAdded = true;
  }
  return added;
}

// Whether the added columns need the table rebuilt (a NOT NULL or identity column); refuses a
// NOT NULL column without a default on a table that has rows, as SQL Server does.
bool addNeedsRebuild(Impl& im, const TableInfo& t, const std::vector<ColumnInfo>& added) {
  std::vector<std::vector<SqlValue>> rows;
  im.run("SELECT EXISTS (SELECT 1 FROM main." + quoteIdent(t.name) + ")", {}, &rows);
  bool hasRows = !rows.empty() && rows[0][0].i() != 0;
  bool needRebuild = false;
  for (auto& a : added) {
    if (!a.nullable && a.defaultSql.empty() && !a.identity && hasRows)
      throw DbError(
          "ALTER TABLE only allows columns to be added that can contain nulls, or have a DEFAULT "
          "definition specified, or the column being added is an identity or timestamp column, or "
          "alternatively if none of the previous conditions are satisfied the table must be empty to "
          "allow addition of this column. Column '" +
              a.name + "' cannot be added to non-empty table '" + t.name +
              "' because it does not satisfy these conditions.",
          "42000", 4901);
    if (!a.nullable || a.identity) needRebuild = true;
  }
  return needRebuild;
}

// Rebuilds the table with the added columns: identities numbered from their seed, NOT NULL columns
// filled with their default.
void rebuildWithAdded(Impl& im, const TableInfo& t, TableInfo nt, const std::vector<ColumnInfo>& added) {
  std::vector<std::string> src;
  for (auto& c : t.columns) src.push_back("\"o\"." + quoteIdent(c.name));
  std::optional<std::pair<std::int64_t, std::int64_t>> start;
  Translator tr(im.provider, nullptr, nullptr);
  for (auto& a : added) {
    nt.columns.push_back(a);
    if (a.identity) {
      src.push_back("tsql_ident()");
      start = std::make_pair(static_cast<std::int64_t>(a.seed), static_cast<std::int64_t>(a.increment));
    } else if (!a.defaultSql.empty() && !a.nullable) {
      src.push_back(tr.columnDefault(a));
    } else {
      src.push_back("NULL");
    }
  }
  im.rebuild(t, nt, src, start);
}

void addColumns(Impl& im, const TableInfo& t, const AlterTableStmt& s) {
  std::vector<ColumnInfo> added = columnsToAdd(im, t, s);
  bool needRebuild = addNeedsRebuild(im, t, added);
  std::vector<ColumnInfo> all = t.columns;
  all.insert(all.end(), added.begin(), added.end());
  std::vector<IndexInfo> idx = im.constraintIndexes(t.name, all, s.columns, {}, static_cast<int>(t.indexes.size()));
  if (!needRebuild) {
    TableInfo nt = t;
    for (auto& a : added) im.exec("ALTER TABLE main." + quoteIdent(t.name) + " ADD COLUMN " + im.columnDdl(a));
    for (auto& a : added) nt.columns.push_back(a);
    im.writeColumns(nt, im.identLastOf(t));
  } else {
    rebuildWithAdded(im, t, t, added);
  }
  for (auto& ix : idx) {
    im.createSqliteIndex(t.name, ix);
    im.writeIndexMeta(t.name, ix);
  }
}

// SQL Server refuses to make a primary key's column nullable.
void checkNotInPrimaryKey(const TableInfo& t, const ColumnInfo& c) {
  if (!c.nullable) return;
  for (auto& ix : t.indexes)
    if (ix.kind == "PK")
      for (auto& col : ix.columns)
        if (iequals(col, c.name))
          throw DbError("The object '" + ix.name + "' is dependent on column '" + c.name +
                            "'. ALTER TABLE ALTER COLUMN " + c.name +
                            " failed because one or more objects access "
                            "this column.",
                        "42000", 5074);
}

// A column's value converted from its old type to its new one, as the rebuild copies it.
std::string convertedColumn(const std::string& ref, const ColType& from, const ColType& to) {
  return "tsql_conv(" + ref + "," + std::to_string(static_cast<int>(from.base)) + "," + std::to_string(from.length) +
         "," + std::to_string(from.precision) + "," + std::to_string(from.scale) + "," +
         std::to_string(static_cast<int>(to.base)) + "," + std::to_string(to.length) + "," +
         std::to_string(to.precision) + "," + std::to_string(to.scale) + ",-1,1)";
}

void alterColumn(Impl& im, const TableInfo& t, const AlterTableStmt& s) {
  const ColumnDef& d = s.columns[0];
  int k = t.find(d.name);
  if (k < 0)
    throw DbError(
        "ALTER TABLE ALTER COLUMN failed because column '" + d.name + "' does not exist in table '" + t.name + "'.",
        "42S22", 4924);
  TableInfo nt = t;
  ColumnInfo& c = nt.columns[static_cast<std::size_t>(k)];
  ColType from = c.type;
  c.type = d.type.type;
  c.nullable = d.nullable.value_or(true);
  if (c.identity) c.nullable = false;
  checkNotInPrimaryKey(t, c);
  std::vector<std::string> src;
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    std::string ref = "\"o\"." + quoteIdent(t.columns[i].name);
    if (static_cast<int>(i) == k && !(from == c.type)) ref = convertedColumn(ref, from, c.type);
    src.push_back(ref);
  }
  im.rebuild(t, nt, src);
}

void dropColumns(Impl& im, const TableInfo& t, const AlterTableStmt& s) {
  TableInfo nt = t;
  for (auto& n : s.names) {
    int k = nt.find(n);
    if (k < 0)
      throw DbError(
          "ALTER TABLE DROP COLUMN failed because column '" + n + "' does not exist in table '" + t.name + "'.",
          "42S22", 4924);
    for (auto& ix : t.indexes)
      for (auto& col : ix.columns)
        if (iequals(col, n))
          throw DbError("The object '" + ix.name + "' is dependent on column '" +
                            nt.columns[static_cast<std::size_t>(k)].name + "'. ALTER TABLE DROP COLUMN " + n +
                            " failed because one or more objects access "
                            "this column.",
                        "42000", 5074);
    nt.columns.erase(nt.columns.begin() + k);
  }
  if (nt.columns.empty())
    throw DbError("ALTER TABLE DROP COLUMN failed because '" + s.names.back() + "' is the only data column in table '" +
                      t.name + "'. A table must have at least one data column.",
                  "42000", 4923);
  std::vector<std::string> src;
  for (auto& c : nt.columns) src.push_back("\"o\"." + quoteIdent(c.name));
  im.rebuild(t, nt, src);
}

void addConstraints(Impl& im, const TableInfo& t, const AlterTableStmt& s) {
  std::vector<IndexInfo> idx =
      im.constraintIndexes(t.name, t.columns, {}, s.constraints, static_cast<int>(t.indexes.size()));
  for (auto& ix : idx) {
    if (ix.kind == "PK")
      for (auto& c : ix.columns)
        if (t.columns[static_cast<std::size_t>(t.find(c))].nullable)
          throw DbError("Cannot define PRIMARY KEY constraint on nullable column in table '" + t.name + "'.", "42000",
                        8111);
    im.createSqliteIndex(t.name, ix);
    im.writeIndexMeta(t.name, ix);
  }
}

void dropConstraints(Impl& im, const TableInfo& t, const AlterTableStmt& s) {
  for (auto& n : s.names) {
    const IndexInfo* hit = nullptr;
    for (auto& ix : t.indexes)
      if (iequals(ix.name, n) && (ix.kind == "PK" || ix.kind == "UQ")) hit = &ix;
    if (!hit) throw DbError("'" + n + "' is not a constraint.", "42000", 3728);
    im.exec("DROP INDEX main." + quoteIdent(indexSqliteName(t.name, hit->name)));
    im.run("DELETE FROM main.__tsql_objects WHERE name = ? AND tbl = ? AND kind IN ('PK','UQ')",
           {SqlValue{hit->name}, SqlValue{t.name}});
  }
}

// The actions, in the order of AlterTableStmt::Action.
using AlterAction = void (*)(Impl&, const TableInfo&, const AlterTableStmt&);
constexpr AlterAction kActions[] = {addColumns, alterColumn, dropColumns, addConstraints, dropConstraints};
static_assert(std::size(kActions) == AlterTableStmt::DropConstraint + 1);

}  // namespace

void Impl::alterTable(const AlterTableStmt& s) {
  const TableInfo& t = existingTable(s.table, true);
  Tx tx(*this);
  kActions[s.action](*this, t, s);
  tx.commit();
  afterDdl();
}

}  // namespace erpsync::db::embedded
