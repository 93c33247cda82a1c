// The translator's entry points, the catalog types' lookups and the type helpers its parts share.
#include "db/embedded/translator.h"

#include <functional>

#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/translator_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using namespace translation;

int TableInfo::find(std::string_view column) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (iequals(columns[i].name, column)) return static_cast<int>(i);
  return -1;
}

int TableInfo::identityColumn() const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].identity) return static_cast<int>(i);
  return -1;
}

std::string quoteIdent(std::string_view name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  r += '"';
  return r;
}

namespace translation {

[[noreturn]] void invalidObject(const std::string& name) {
  throw DbError("Invalid object name '" + name + "'.", "42S02", 208);
}
[[noreturn]] void invalidColumn(const std::string& name) {
  throw DbError("Invalid column name '" + name + "'.", "42S22", 207);
}

std::string typeArgs(const ColType& t) {
  return std::to_string(static_cast<int>(t.base)) + "," + std::to_string(t.length) + "," + std::to_string(t.precision) +
         "," + std::to_string(t.scale);
}

ColType textType(int len) {
  ColType t;
  t.base = BaseType::VarChar;
  t.length = len;
  return t;
}
ColType intType() {
  ColType t;
  t.base = BaseType::Int;
  return t;
}
ColType dateType() {
  ColType t;
  t.base = BaseType::DateTime;
  return t;
}
ColType bitType() {
  ColType t;
  t.base = BaseType::Bit;
  return t;
}

bool sameStorage(const ColType& src, const ColType& dst) {
  if (!src.known()) return false;
  if (src.isText() && dst.isText()) {
    if (dst.base == BaseType::Char || dst.base == BaseType::NChar) return src == dst;
    return dst.length < 0 || (src.length > 0 && src.length <= dst.length);
  }
  if (src.isDate() && dst.base == BaseType::DateTime) return true;
  if (src.base == dst.base && src.base == BaseType::Numeric)
    return src.scale == dst.scale && src.precision - src.scale <= dst.precision - dst.scale;
  if (src.isInteger() && dst.isInteger()) {
    auto width = [](BaseType b) {
      switch (b) {
        case BaseType::Bit:
          return 0;
        case BaseType::TinyInt:
          return 1;
        case BaseType::SmallInt:
          return 2;
        case BaseType::Int:
          return 3;
        default:
          return 4;
      }
    };
    return dst.base != BaseType::Bit && width(src.base) <= width(dst.base) && src.base != BaseType::TinyInt;
  }
  if (src.isInteger() && src.base != BaseType::Bit && dst.base == BaseType::Numeric && dst.scale == 0 &&
      dst.precision >= 19)
    return true;
  if ((src.base == BaseType::Float || src.base == BaseType::Real) && dst.base == BaseType::Float) return true;
  return false;
}

}  // namespace translation

Translator::Translator(SchemaProvider& schema, const TriggerContext* trigger, const VariableTypes* vars)
    : impl_(std::make_unique<Impl>(schema, trigger, vars)) {}
Translator::~Translator() = default;

Translated Translator::statement(const ast::Stmt& s) {
  impl_->reset();
  switch (s.kind) {
    case Stmt::SelectK:
      return impl_->selectStmt(static_cast<const SelectStmt&>(s));
    case Stmt::Insert:
      return impl_->insertStmt(static_cast<const InsertStmt&>(s));
    case Stmt::Update:
      return impl_->updateStmt(static_cast<const UpdateStmt&>(s));
    case Stmt::Delete:
      return impl_->deleteStmt(static_cast<const DeleteStmt&>(s));
    default:
      syntaxError("?");
  }
}

Translated Translator::scalar(const ast::Expr& e) {
  impl_->reset();
  E v = impl_->expr(e, nullptr);
  Translated& t = impl_->out;
  t.sql = "SELECT " + v.sql;
  t.columnNames.push_back("");
  t.columnTypes.push_back(v.type);
  return std::move(t);
}

Translated Translator::condition(const ast::Expr& e) {
  impl_->reset();
  E v = impl_->condition(e, nullptr);
  Translated& t = impl_->out;
  t.sql = "SELECT CASE WHEN " + v.sql + " THEN 1 ELSE 0 END";
  t.columnNames.push_back("");
  t.columnTypes.push_back(intType());
  return std::move(t);
}

std::string Translator::columnDefault(const ColumnInfo& column) {
  impl_->reset();
  return impl_->defaultValueSql(column);
}

std::vector<Translated> translateBatch(std::string_view sql, SchemaProvider& schema) {
  LexResult lx = lex(sql);
  Batch b = parseBatch(lx, sql);
  std::vector<Translated> out;
  VariableTypes vars;
  std::function<void(const Stmt&)> visit = [&](const Stmt& s) {
    Translator tr(schema, nullptr, &vars);
    switch (s.kind) {
      case Stmt::SelectK:
      case Stmt::Insert:
      case Stmt::Update:
      case Stmt::Delete:
        out.push_back(tr.statement(s));
        break;
      case Stmt::Declare:
        for (auto& v : static_cast<const DeclareStmt&>(s).vars) vars[lower(v.name)] = VariableInfo{v.type.type};
        break;
      case Stmt::If: {
        auto& i = static_cast<const IfStmt&>(s);
        out.push_back(tr.condition(*i.cond));
        visit(*i.then);
        if (i.otherwise) visit(*i.otherwise);
        break;
      }
      case Stmt::Block:
        for (auto& c : static_cast<const BlockStmt&>(s).body) visit(*c);
        break;
      case Stmt::SetVar:
        out.push_back(tr.scalar(*static_cast<const SetVarStmt&>(s).value));
        break;
      default:
        break;
    }
  };
  for (auto& s : b.statements) visit(*s);
  return out;
}

}  // namespace erpsync::db::embedded
