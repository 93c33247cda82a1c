// The system procedures the synchroniser calls to manage linked servers (sp_addlinkedserver,
// sp_dropserver, sp_addlinkedsrvlogin, sp_droplinkedsrvlogin, sp_serveroption). They keep the
// server's catalog of linked servers in its master catalog.
#include <set>

#include "db/embedded/connection_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using Impl = EmbeddedConnection::Impl;

void Impl::execProc(const ExecStmt& s, Ctx& ctx) {
  const auto& p = s.proc.parts;
  std::string name = lower(p.back());
  if (p.size() >= 3 && !iequals(p[p.size() - 3], "master") && !iequals(p[p.size() - 3], catalog))
    throw DbError("Could not find stored procedure '" + s.proc.text() + "'.", "42000", 2812);
  std::map<std::string, SqlValue> named;
  std::vector<SqlValue> positional;
  for (auto& [n, e] : s.args) {
    SqlValue v;
    if (e->kind == Expr::Column && e->name.parts.size() == 1)
      v = SqlValue{e->name.parts[0]};
    else
      v = evalExpr(*e, ctx, nullptr);
    if (n.empty())
      positional.push_back(v);
    else
      named[lower(n)] = v;
  }
  auto arg = [&](const char* pname, std::size_t pos) -> SqlValue {
    auto it = named.find(pname);
    if (it != named.end()) return it->second;
    if (pos < positional.size()) return positional[pos];
    return SqlValue{};
  };
  auto text = [](const SqlValue& v) { return v.isNull() ? std::string() : valueText(v); };
  std::string m;
  if (name == "sp_addlinkedserver" || name == "sp_dropserver" || name == "sp_addlinkedsrvlogin" ||
      name == "sp_serveroption" || name == "sp_droplinkedsrvlogin") {
    m = quoteIdent(masterAlias());
  } else {
    throw DbError("Could not find stored procedure '" + s.proc.text() + "'.", "42000", 2812);
  }
  Tx tx(*this);
  auto serverRow = [&](const std::string& srv) -> std::optional<long long> {
    std::vector<std::vector<SqlValue>> rows;
    run("SELECT server_id FROM " + m + ".__servers WHERE name = ? COLLATE NOCASE", {SqlValue{srv}}, &rows);
    if (rows.empty()) return std::nullopt;
    return rows[0][0].isInt() ? rows[0][0].i() : 0;
  };
  auto missing = [](const std::string& srv) {
    throw DbError("The server '" + srv + "' does not exist. Use sp_helpserver to show available servers.", "42000",
                  15015);
  };
  if (name == "sp_addlinkedserver") {
    std::string srv = text(arg("@server", 0));
    if (srv.empty())
      throw DbError("Procedure or function 'sp_addlinkedserver' expects parameter '@server', which was not supplied.",
                    "42000", 201);
    if (serverRow(srv)) throw DbError("The server '" + srv + "' already exists.", "42000", 15028);
    std::vector<std::vector<SqlValue>> rows;
    run("SELECT coalesce(max(server_id), 0) + 1 FROM " + m + ".__servers", {}, &rows);
    std::int64_t id = rows.empty() ? 1 : rows[0][0].i();
    std::string product = text(arg("@srvproduct", 1));
    std::string provider = text(arg("@provider", 2));
    std::string datasrc = text(arg("@datasrc", 3));
    if (iequals(product, "SQL Server") && datasrc.empty()) datasrc = srv;
    run("INSERT INTO " + m +
            ".__servers (server_id, name, product, provider, data_source, is_linked, is_data_access_enabled, "
            "is_rpc_out_enabled, is_collation_compatible, connect_timeout, query_timeout, lazy_schema_validation, "
            "uses_remote_collation, is_remote_login_enabled) VALUES (?, ?, ?, ?, ?, 1, 1, 0, 0, 0, 0, 0, 1, 0)",
        {SqlValue{id}, SqlValue{srv}, SqlValue{product}, SqlValue{provider.empty() ? "SQLNCLI" : provider},
         SqlValue{datasrc}});
  } else if (name == "sp_dropserver") {
    std::string srv = text(arg("@server", 0));
    auto id = serverRow(srv);
    if (!id || *id == 0) missing(srv);
    std::string drop = lower(text(arg("@droplogins", 1)));
    std::vector<std::vector<SqlValue>> rows;
    run("SELECT count(*) FROM " + m + ".__linked_logins WHERE server_id = ?", {SqlValue{*id}}, &rows);
    if (!rows.empty() && rows[0][0].i() > 0 && drop != "droplogins")
      throw DbError("There are still remote logins or linked logins for the server '" + srv + "'.", "42000", 15190);
    run("DELETE FROM " + m + ".__linked_logins WHERE server_id = ?", {SqlValue{*id}});
    run("DELETE FROM " + m + ".__server_options WHERE server_id = ?", {SqlValue{*id}});
    run("DELETE FROM " + m + ".__servers WHERE server_id = ?", {SqlValue{*id}});
  } else if (name == "sp_addlinkedsrvlogin") {
    std::string srv = text(arg("@rmtsrvname", 0));
    auto id = serverRow(srv);
    if (!id) missing(srv);
    SqlValue useself = arg("@useself", 1);
    SqlValue local = arg("@locallogin", 2);
    bool self = useself.isNull() || iequals(text(useself), "true");
    run("DELETE FROM " + m + ".__linked_logins WHERE server_id = ? AND coalesce(local_login, '') = ?",
        {SqlValue{*id}, SqlValue{text(local)}});
    run("INSERT INTO " + m +
            ".__linked_logins (server_id, local_login, uses_self_credential, remote_name, remote_password) VALUES "
            "(?, ?, ?, ?, ?)",
        {SqlValue{*id}, local, SqlValue{std::int64_t{self ? 1 : 0}}, arg("@rmtuser", 3), arg("@rmtpassword", 4)});
  } else if (name == "sp_droplinkedsrvlogin") {
    std::string srv = text(arg("@rmtsrvname", 0));
    auto id = serverRow(srv);
    if (!id) missing(srv);
    run("DELETE FROM " + m + ".__linked_logins WHERE server_id = ? AND coalesce(local_login, '') = ?",
        {SqlValue{*id}, SqlValue{text(arg("@locallogin", 1))}});
  } else if (name == "sp_serveroption") {
    std::string srv = text(arg("@server", 0));
    std::string opt = lower(text(arg("@optname", 1)));
    SqlValue val = arg("@optvalue", 2);
    auto id = serverRow(srv);
    if (!id) missing(srv);
    static const std::set<std::string> known = {"collation compatible",
                                                "data access",
                                                "dist",
                                                "pub",
                                                "rpc",
                                                "rpc out",
                                                "sub",
                                                "connect timeout",
                                                "collation name",
                                                "lazy schema validation",
                                                "query timeout",
                                                "use remote collation",
                                                "remote proc transaction promotion"};
    if (!known.count(opt))
      throw DbError("'" + text(arg("@optname", 1)) + "' is not a valid option name.", "42000", 15600);
    std::string v = lower(text(val));
    auto flag = [&](bool& out) {
      if (v == "true" || v == "on")
        out = true;
      else if (v == "false" || v == "off")
        out = false;
      else
        throw DbError("The value '" + text(val) + "' is not valid for option '" + opt + "'.", "42000", 15600);
    };
    bool b = false;
    if (opt == "data access") {
      flag(b);
      run("UPDATE " + m + ".__servers SET is_data_access_enabled = ? WHERE server_id = ?",
          {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
    } else if (opt == "rpc out") {
      flag(b);
      run("UPDATE " + m + ".__servers SET is_rpc_out_enabled = ? WHERE server_id = ?",
          {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
    } else if (opt == "collation compatible") {
      flag(b);
      run("UPDATE " + m + ".__servers SET is_collation_compatible = ? WHERE server_id = ?",
          {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
    } else if (opt == "lazy schema validation") {
      flag(b);
      run("UPDATE " + m + ".__servers SET lazy_schema_validation = ? WHERE server_id = ?",
          {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
    } else if (opt == "use remote collation") {
      flag(b);
      run("UPDATE " + m + ".__servers SET uses_remote_collation = ? WHERE server_id = ?",
          {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
    } else if (opt == "connect timeout" || opt == "query timeout") {
      ColType it;
      it.base = BaseType::Int;
      SqlValue n = convertValue(val, ColType{BaseType::VarChar, 100}, it, false);
      run("UPDATE " + m + ".__servers SET " + (opt == "connect timeout" ? "connect_timeout" : "query_timeout") +
              " = ? WHERE server_id = ?",
          {n, SqlValue{*id}});
    } else if (opt == "collation name") {
      run("UPDATE " + m + ".__servers SET collation_name = ? WHERE server_id = ?", {val, SqlValue{*id}});
    } else {
      flag(b);
    }
    run("DELETE FROM " + m + ".__server_options WHERE server_id = ? AND optname = ?", {SqlValue{*id}, SqlValue{opt}});
    run("INSERT INTO " + m + ".__server_options (server_id, optname, optvalue) VALUES (?, ?, ?)",
        {SqlValue{*id}, SqlValue{opt}, val});
  }
  tx.commit();
}

}  // namespace erpsync::db::embedded
