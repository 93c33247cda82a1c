// A connection that passes everything to a real one and keeps the text of every statement it sent, so
// a test can read back exactly what an operation wrote.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"

namespace erpsync::test {

class RecordingConnection : public db::Connection {
 public:
  explicit RecordingConnection(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}

  std::vector<std::string> executed;  // execute() texts, in order
  std::vector<std::string> queried;   // query() texts, in order
  // Told every statement as it is sent (execute and query alike), before the inner connection runs it.
  std::function<void(const std::string& sql)> onStatement;

  // The executed statements that begin with prefix.
  std::vector<std::string> startingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& s : executed)
      if (s.rfind(prefix, 0) == 0) out.push_back(s);
    return out;
  }

  void open(const std::string& cs) override { inner_->open(cs); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  long long execute(const std::string& sql) override {
    executed.push_back(sql);
    if (onStatement) onStatement(sql);
    return inner_->execute(sql);
  }
  db::Recordset query(const std::string& sql) override {
    queried.push_back(sql);
    if (onStatement) onStatement(sql);
    return inner_->query(sql);
  }
  // Kept as one batch for the inner connection, recorded as its queries.
  std::vector<db::Recordset> queryEach(const std::vector<std::string>& selects) override {
    for (const auto& s : selects) {
      queried.push_back(s);
      if (onStatement) onStatement(s);
    }
    return inner_->queryEach(selects);
  }
  void beginTrans() override { inner_->beginTrans(); }
  void commitTrans() override { inner_->commitTrans(); }
  void rollbackTrans() override { inner_->rollbackTrans(); }
  void setCommandTimeout(int s) override { inner_->setCommandTimeout(s); }

 private:
  std::unique_ptr<db::Connection> inner_;
};

}  // namespace erpsync::test
