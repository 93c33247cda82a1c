// A connection that passes everything to a real one, except that it fails chosen statements: the n-th
// statement containing a given text (or every one from then on) throws a DbError with a chosen
// description, optionally closing the real connection first (a lost link).
#pragma once

#include <memory>
#include <string>

#include "db/connection.h"

namespace erpsync::test {

class FaultyConnection : public db::Connection {
 public:
  explicit FaultyConnection(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}

  // Fail the nth (1-based) statement whose text contains `contains` (case-sensitive); with `always`,
  // every matching statement from the nth on. `close` closes the real connection before failing.
  void failOn(std::string contains, int nth, std::string description, bool always = false, bool close = false) {
    contains_ = std::move(contains);
    nth_ = nth;
    description_ = std::move(description);
    always_ = always;
    close_ = close;
    seen_ = 0;
    failures = 0;
  }
  void heal() { contains_.clear(); }

  int failures = 0;    // statements failed so far
  int statements = 0;  // statements passed on or failed

  void open(const std::string& cs) override { inner_->open(cs); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  long long execute(const std::string& sql) override {
    check(sql);
    return inner_->execute(sql);
  }
  db::Recordset query(const std::string& sql) override {
    check(sql);
    return inner_->query(sql);
  }
  void beginTrans() override { inner_->beginTrans(); }
  void commitTrans() override { inner_->commitTrans(); }
  void rollbackTrans() override { inner_->rollbackTrans(); }
  void setCommandTimeout(int s) override { inner_->setCommandTimeout(s); }

 private:
  void check(const std::string& sql) {
    ++statements;
    if (contains_.empty() || sql.find(contains_) == std::string::npos) return;
    ++seen_;
    if (seen_ == nth_ || (always_ && seen_ > nth_)) {
      ++failures;
      if (close_) inner_->close();
      throw db::DbError(description_);
    }
  }

  std::unique_ptr<db::Connection> inner_;
  std::string contains_;
  int nth_ = 0;
  std::string description_;
  bool always_ = false;
  bool close_ = false;
  int seen_ = 0;
};

}  // namespace erpsync::test
