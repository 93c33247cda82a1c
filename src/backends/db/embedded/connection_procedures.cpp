// The system procedures the synchroniser calls to manage linked servers (sp_addlinkedserver,
// sp_dropserver, sp_addlinkedsrvlogin, sp_droplinkedsrvlogin, sp_serveroption). They keep the
// server's catalog of linked servers in its master catalog. A table from the procedure's name to its
// handler; each runs in a transaction of its own (a savepoint inside the caller's).
#include <map>
#include <set>

#include "db/embedded/connection_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using Impl = EmbeddedConnection::Impl;

namespace {

using Rows = std::vector<std::vector<SqlValue>>;

// One call of a system procedure: its arguments by name or position, and the master catalog's
// alias (quoted) where the server's catalog of linked servers lives.
struct ProcCall {
  Impl& im;
  std::map<std::string, SqlValue> named;
  std::vector<SqlValue> positional;
  std::string m;

  SqlValue arg(const char* name, std::size_t pos) const {
    auto it = named.find(name);
    if (it != named.end()) return it->second;
    if (pos < positional.size()) return positional[pos];
    return SqlValue{};
  }
  static std::string text(const SqlValue& v) { return v.isNull() ? std::string() : valueText(v); }
  std::string text(const char* name, std::size_t pos) const { return text(arg(name, pos)); }

  std::optional<long long> serverRow(const std::string& srv) {
    Rows rows;
    im.run("SELECT server_id FROM " + m + ".__servers WHERE name = ? COLLATE NOCASE", {SqlValue{srv}}, &rows);
    if (rows.empty()) return std::nullopt;
    return rows[0][0].isInt() ? rows[0][0].i() : 0;
  }
  // The id of a linked server that must exist.
  long long server(const std::string& srv) {
    auto id = serverRow(srv);
    if (!id) missing(srv);
    return *id;
  }
  [[noreturn]] static void missing(const std::string& srv) {
    throw DbError("The server '" + srv + "' does not exist. Use sp_helpserver to show available servers.", "42000",
                  15015);
  }
};

void addLinkedServer(ProcCall& c) {
  std::string srv = c.text("@server", 0);
  if (srv.empty())
    throw DbError("Procedure or function 'sp_addlinkedserver' expects parameter '@server', which was not supplied.",
                  "42000", 201);
  if (c.serverRow(srv)) throw DbError("The server '" + srv + "' already exists.", "42000", 15028);
  Rows rows;
  c.im.run("SELECT coalesce(max(server_id), 0) + 1 FROM " + c.m + ".__servers", {}, &rows);
  std::int64_t id = rows.empty() ? 1 : rows[0][0].i();
  std::string product = c.text("@srvproduct", 1);
  std::string provider = c.text("@provider", 2);
  std::string datasrc = c.text("@datasrc", 3);
  if (iequals(product, "SQL Server") && datasrc.empty()) datasrc = srv;
  c.im.run("INSERT INTO " + c.m +
               ".__servers (server_id, name, product, provider, data_source, is_linked, is_data_access_enabled, "
               "is_rpc_out_enabled, is_collation_compatible, connect_timeout, query_timeout, lazy_schema_validation, "
               "uses_remote_collation, is_remote_login_enabled) VALUES (?, ?, ?, ?, ?, 1, 1, 0, 0, 0, 0, 0, 1, 0)",
           {SqlValue{id}, SqlValue{srv}, SqlValue{product}, SqlValue{provider.empty() ? "SQLNCLI" : provider},
            SqlValue{datasrc}});
}

void dropServer(ProcCall& c) {
  std::string srv = c.text("@server", 0);
  auto id = c.serverRow(srv);
  if (!id || *id == 0) ProcCall::missing(srv);
  std::string drop = lower(c.text("@droplogins", 1));
  Rows rows;
  c.im.run("SELECT count(*) FROM " + c.m + ".__linked_logins WHERE server_id = ?", {SqlValue{*id}}, &rows);
  if (!rows.empty() && rows[0][0].i() > 0 && drop != "droplogins")
    throw DbError("There are still remote logins or linked logins for the server '" + srv + "'.", "42000", 15190);
  for (const char* table : {"__linked_logins", "__server_options", "__servers"})
    c.im.run("DELETE FROM " + c.m + "." + table + " WHERE server_id = ?", {SqlValue{*id}});
}

void addLinkedLogin(ProcCall& c) {
  long long id = c.server(c.text("@rmtsrvname", 0));
  SqlValue useself = c.arg("@useself", 1);
  SqlValue local = c.arg("@locallogin", 2);
  bool self = useself.isNull() || iequals(ProcCall::text(useself), "true");
  c.im.run("DELETE FROM " + c.m + ".__linked_logins WHERE server_id = ? AND coalesce(local_login, '') = ?",
           {SqlValue{id}, SqlValue{ProcCall::text(local)}});
  c.im.run("INSERT INTO " + c.m +
               ".__linked_logins (server_id, local_login, uses_self_credential, remote_name, remote_password) VALUES "
               "(?, ?, ?, ?, ?)",
           {SqlValue{id}, local, SqlValue{std::int64_t{self ? 1 : 0}}, c.arg("@rmtuser", 3), c.arg("@rmtpassword", 4)});
}

void dropLinkedLogin(ProcCall& c) {
  long long id = c.server(c.text("@rmtsrvname", 0));
  c.im.run("DELETE FROM " + c.m + ".__linked_logins WHERE server_id = ? AND coalesce(local_login, '') = ?",
           {SqlValue{id}, SqlValue{c.text("@locallogin", 1)}});
}

// The options sp_serveroption knows: how its value is read and the column of the server's row that
// keeps it (none: kept only among the server's options).
struct ServerOption {
  enum Kind { Flag, Number, Text } kind;
  const char* column;
};

const std::map<std::string, ServerOption>& serverOptions() {
  static const std::map<std::string, ServerOption> options = {
      {"collation compatible", {ServerOption::Flag, "is_collation_compatible"}},
      {"data access", {ServerOption::Flag, "is_data_access_enabled"}},
      {"dist", {ServerOption::Flag, nullptr}},
      {"pub", {ServerOption::Flag, nullptr}},
      {"rpc", {ServerOption::Flag, nullptr}},
      {"rpc out", {ServerOption::Flag, "is_rpc_out_enabled"}},
      {"sub", {ServerOption::Flag, nullptr}},
      {"connect timeout", {ServerOption::Number, "connect_timeout"}},
      {"collation name", {ServerOption::Text, "collation_name"}},
      {"lazy schema validation", {ServerOption::Flag, "lazy_schema_validation"}},
      {"query timeout", {ServerOption::Number, "query_timeout"}},
      {"use remote collation", {ServerOption::Flag, "uses_remote_collation"}},
      {"remote proc transaction promotion", {ServerOption::Flag, nullptr}}};
  return options;
}

// The value a server option's column takes.
SqlValue optionColumnValue(const ServerOption& o, const std::string& opt, const SqlValue& val) {
  if (o.kind == ServerOption::Text) return val;
  if (o.kind == ServerOption::Number) {
    ColType it;
    it.base = BaseType::Int;
    return convertValue(val, ColType{BaseType::VarChar, 100}, it, false);
  }
  std::string v = lower(ProcCall::text(val));
  if (v == "true" || v == "on") return SqlValue{std::int64_t{1}};
  if (v == "false" || v == "off") return SqlValue{std::int64_t{0}};
  throw DbError("The value '" + ProcCall::text(val) + "' is not valid for option '" + opt + "'.", "42000", 15600);
}

void setServerOption(ProcCall& c) {
  std::string srv = c.text("@server", 0);
  std::string opt = lower(c.text("@optname", 1));
  SqlValue val = c.arg("@optvalue", 2);
  long long id = c.server(srv);
  auto known = serverOptions().find(opt);
  if (known == serverOptions().end())
    throw DbError("'" + c.text("@optname", 1) + "' is not a valid option name.", "42000", 15600);
  SqlValue columnValue = optionColumnValue(known->second, opt, val);
  if (known->second.column)
    c.im.run("UPDATE " + c.m + ".__servers SET " + known->second.column + " = ? WHERE server_id = ?",
             {columnValue, SqlValue{id}});
  c.im.run("DELETE FROM " + c.m + ".__server_options WHERE server_id = ? AND optname = ?",
           {SqlValue{id}, SqlValue{opt}});
  c.im.run("INSERT INTO " + c.m + ".__server_options (server_id, optname, optvalue) VALUES (?, ?, ?)",
           {SqlValue{id}, SqlValue{opt}, val});
}

using ProcHandler = void (*)(ProcCall&);

const std::map<std::string, ProcHandler>& procedures() {
  static const std::map<std::string, ProcHandler> table = {{"sp_addlinkedserver", addLinkedServer},
                                                           {"sp_dropserver", dropServer},
                                                           {"sp_addlinkedsrvlogin", addLinkedLogin},
                                                           {"sp_droplinkedsrvlogin", dropLinkedLogin},
                                                           {"sp_serveroption", setServerOption}};
  return table;
}

[[noreturn]] void noSuchProcedure(const ExecStmt& s) {
  throw DbError("Could not find stored procedure '" + s.proc.text() + "'.", "42000", 2812);
}

}  // namespace

void Impl::execProc(const ExecStmt& s, Ctx& ctx) {
  const auto& p = s.proc.parts;
  if (p.size() >= 3 && !iequals(p[p.size() - 3], "master") && !iequals(p[p.size() - 3], catalog)) noSuchProcedure(s);
  ProcCall call{*this, {}, {}, {}};
  for (auto& [n, e] : s.args) {
    // A bare word is a name passed as text (EXEC sp_serveroption SRV, 'rpc out', true).
    SqlValue v =
        e->kind == Expr::Column && e->name.parts.size() == 1 ? SqlValue{e->name.parts[0]} : evalExpr(*e, ctx, nullptr);
    if (n.empty())
      call.positional.push_back(v);
    else
      call.named[lower(n)] = v;
  }
  auto handler = procedures().find(lower(p.back()));
  if (handler == procedures().end()) noSuchProcedure(s);
  call.m = quoteIdent(masterAlias());
  Tx tx(*this);
  handler->second(call);
  tx.commit();
}

}  // namespace erpsync::db::embedded
