// A connection that answers from the test: every statement is recorded, queries and executes are
// handed to the test's functions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/connection.h"

namespace erpsync::test {

class FakeConnection : public db::Connection {
 public:
  std::vector<std::string> statements;
  std::function<db::Recordset(const std::string&)> onQuery = [](const std::string&) { return db::Recordset{}; };
  std::function<long long(const std::string&)> onExecute = [](const std::string&) { return 0LL; };
  bool opened = true;

  void open(const std::string&) override { opened = true; }
  void close() override { opened = false; }
  bool isOpen() const override { return opened; }
  long long execute(const std::string& sql) override {
    statements.push_back(sql);
    return onExecute(sql);
  }
  db::Recordset query(const std::string& sql) override {
    statements.push_back(sql);
    return onQuery(sql);
  }
  void beginTrans() override {}
  void commitTrans() override {}
  void rollbackTrans() override {}
  void setCommandTimeout(int) override {}
};

// A recordset from field names and rows.
inline db::Recordset recordset(std::vector<std::string> names, std::vector<std::vector<db::Value>> rows) {
  db::Recordset rs;
  for (auto& n : names) rs.fields.push_back({n, db::adVarChar});
  rs.rows = std::move(rows);
  return rs;
}

}  // namespace erpsync::test
