// Helpers for the embedded server tests: a server directory with catalogs in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#include "test_support.h"

namespace erpsync::test {

inline std::string embeddedConnString(const std::string& dir, const std::string& catalog) {
  return "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=" + catalog +
         ";Data Source=embedded:" + dir;
}

// A server "srv" (and optionally more) under one temporary folder, with catalog DB created.
class EmbeddedFixture : public ::testing::Test {
 protected:
  TempDir tmp;
  std::filesystem::path base() const { return tmp.path(); }
  std::unique_ptr<db::Connection> server(const std::string& name, const std::string& catalog = "DB") {
    db::embedded::createServer(base() / name);
    auto master = db::openConnection(embeddedConnString(name, "master"), base());
    try {
      master->execute("CREATE DATABASE " + catalog);
    } catch (const db::DbError&) {
    }
    return db::openConnection(embeddedConnString(name, catalog), base());
  }
  std::unique_ptr<db::Connection> connect(const std::string& name, const std::string& catalog = "DB") {
    return db::openConnection(embeddedConnString(name, catalog), base());
  }
};

// The description of the DbError a statement raises ("" when it succeeds).
inline std::string errorOf(db::Connection& c, const std::string& sql) {
  try {
    c.execute(sql);
  } catch (const db::DbError& e) {
    return e.description();
  }
  return {};
}

}  // namespace erpsync::test
