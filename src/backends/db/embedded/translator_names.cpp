// Name resolution (tables, linked catalogs, columns in nested scopes) and the bound parameters
// that carry literals and variables.
#include <string>

#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/translator_impl.h"
#include "db/sql_quote.h"

namespace erpsync::db::embedded {

using namespace ast;
using namespace translation;

void Translator::Impl::noteCatalog(const CatalogRef& ref) {
  if (ref.server.empty() && ref.catalog.empty()) return;
  for (auto& c : out.catalogs)
    if (iequals(c.server, ref.server) && iequals(c.catalog, ref.catalog)) return;
  out.catalogs.push_back(ref);
}

Translator::Impl::Resolved Translator::Impl::resolveTable(const Name& n, bool allowTriggerTables) {
  Resolved r;
  const auto& p = n.parts;
  std::string shown = n.text();
  if (allowTriggerTables && trigger && p.size() == 1 && (iequals(p[0], "inserted") || iequals(p[0], "deleted"))) {
    r.table = trigger->table;
    r.sqlName = iequals(p[0], "inserted") ? trigger->insertedTable : trigger->deletedTable;
    r.tableName = p[0];
    r.dbAlias = "temp";
    return r;
  }
  CatalogRef ref;
  std::string name = p.back();
  if (p.size() >= 2 && iequals(p[p.size() - 2], "sys")) {
    if (!iequals(name, "servers")) invalidObject(shown);
    if (p.size() == 4) invalidObject(shown);
    ref.catalog = "master";
    name = "__servers";
  } else {
    if (p.size() == 3) ref.catalog = p[0];
    if (p.size() == 4) {
      ref.server = p[0];
      ref.catalog = p[1];
      if (ref.catalog.empty()) syntaxError(shown);
    }
  }
  if (!ref.server.empty() || !ref.catalog.empty()) {
    if (ref.server.empty() && iequals(ref.catalog, schema.currentCatalog())) ref.catalog.clear();
  }
  auto found = schema.findTable(ref, name);
  if (!found.table) invalidObject(shown);
  noteCatalog(ref);
  r.table = found.table;
  r.dbAlias = found.alias;
  r.sqlName = quoteIdent(found.alias) + "." + quoteIdent(found.table->name);
  r.tableName = found.table->name;
  return r;
}

Source Translator::Impl::makeSource(const Resolved& r, const std::string& alias) {
  Source s;
  s.table = r.table;
  s.dbAlias = r.dbAlias;
  s.tableName = r.tableName;
  s.aliased = !alias.empty();
  s.name = alias.empty() ? r.tableName : alias;
  s.sqlRef = newRef();
  for (auto& c : r.table->columns) s.cols.push_back({c.name, c.type});
  return s;
}

// Finds a column by its (possibly qualified) name in the scopes, innermost first. A qualifier names
// an alias (or an unaliased table); an aliased table's own name is only tried when nothing else
// in any scope carries that name.
E Translator::Impl::columnRef(const Name& n, Scope* scope) {
  const auto& p = n.parts;
  std::string col = p.back();
  std::string qual = p.size() >= 2 ? p[p.size() - 2] : std::string();
  auto found = [&](const Source& src, std::size_t i) {
    E e;
    e.sql = quoteIdent(src.sqlRef) + "." + quoteIdent(src.cols[i].name);
    e.type = src.cols[i].type;
    e.column = true;
    e.colName = col;
    return e;
  };
  if (!qual.empty()) {
    for (int pass = 0; pass < 2; ++pass)
      for (Scope* s = scope; s; s = s->outer)
        for (auto& src : s->sources) {
          bool match = pass == 0 ? iequals(src.name, qual) : (src.aliased && iequals(src.tableName, qual));
          if (!match) continue;
          for (std::size_t i = 0; i < src.cols.size(); ++i)
            if (iequals(src.cols[i].name, col)) return found(src, i);
          invalidColumn(col);
        }
    throw DbError("The multi-part identifier \"" + n.text() + "\" could not be bound.", "42000", 4104);
  }
  for (Scope* s = scope; s; s = s->outer) {
    const Source* hit = nullptr;
    std::size_t hitIdx = 0;
    for (auto& src : s->sources)
      for (std::size_t i = 0; i < src.cols.size(); ++i)
        if (iequals(src.cols[i].name, col)) {
          if (hit && hit != &src) throw DbError("Ambiguous column name '" + col + "'.", "42000", 209);
          if (!hit) {
            hit = &src;
            hitIdx = i;
          }
        }
    if (hit) return found(*hit, hitIdx);
  }
  invalidColumn(col);
}

// ---- parameters ----
int Translator::Impl::addParam(BoundParameter p) {
  out.params.push_back(std::move(p));
  return static_cast<int>(out.params.size());
}

E Translator::Impl::literal(const Expr& x) {
  E e;
  if (x.litKind == TokKind::Number)
    e.type = literalNumberType(x.text);
  else if (x.litKind == TokKind::NString)
    e.type.base = BaseType::NVarChar, e.type.length = 4000;
  else
    e.type = textType();
  if (inlineLits) {
    const Token& t = (*inlineLits)[static_cast<std::size_t>(x.literal)];
    e.sql = t.kind == TokKind::Number ? t.text : sqlQuote(t.text);
    return e;
  }
  BoundParameter p;
  p.source = BoundParameter::Literal;
  p.literal = x.literal;
  p.srcType = e.type;
  int idx = addParam(p);
  e.sql = "?" + std::to_string(idx);
  e.param = idx - 1;
  return e;
}

E Translator::Impl::variable(const Expr& x) {
  std::string name = lower(x.text);
  E e;
  BoundParameter p;
  if (name == "@@rowcount") {
    p.source = BoundParameter::RowCount;
    e.type = intType();
  } else if (name == "@@identity") {
    p.source = BoundParameter::Identity;
    e.type.base = BaseType::Numeric, e.type.precision = 38, e.type.scale = 0;
  } else if (name == "@@trancount") {
    p.source = BoundParameter::TranCount;
    e.type = intType();
  } else if (name == "@@error") {
    e.sql = "0";
    e.type = intType();
    return e;
  } else if (name.rfind("@@", 0) == 0) {
    syntaxError(x.text);
  } else {
    auto it = vars ? vars->find(name) : VariableTypes::const_iterator{};
    if (!vars || it == vars->end()) throw DbError("Must declare the scalar variable \"" + x.text + "\".", "42000", 137);
    p.source = BoundParameter::Variable;
    p.variable = name;
    e.type = it->second.type;
  }
  p.srcType = e.type;
  int idx = addParam(p);
  e.sql = "?" + std::to_string(idx);
  e.param = idx - 1;
  return e;
}

}  // namespace erpsync::db::embedded
