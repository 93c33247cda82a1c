// A connection that passes every call on to another and keeps what the benchmarks read from it: the
// calls, the time spent in them (the server's work, plus the link's wait when one is simulated) and
// the distinct statement texts sent.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "db/connection.h"

namespace erpsync::bench {

class TimedConnection : public db::Connection {
 public:
  explicit TimedConnection(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}

  void open(const std::string& cs) override { timed([&] { inner_->open(cs); }); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  long long execute(const std::string& sql) override {
    seen(sql);
    long long n = 0;
    timed([&] { n = inner_->execute(sql); });
    return n;
  }
  db::Recordset query(const std::string& sql) override {
    seen(sql);
    db::Recordset rs;
    timed([&] { rs = inner_->query(sql); });
    return rs;
  }
  std::vector<db::Recordset> queryEach(const std::vector<std::string>& selects) override {
    std::string all;
    for (const auto& s : selects) all += s + "\n";
    seen(all);
    std::vector<db::Recordset> out;
    timed([&] { out = inner_->queryEach(selects); });
    return out;
  }
  // The statement text is what is counted: its values travel beside it.
  db::Recordset queryWith(const std::string& sql, const std::vector<db::Param>& params) override {
    seen(sql);
    db::Recordset rs;
    timed([&] { rs = inner_->queryWith(sql, params); });
    return rs;
  }
  void beginTrans() override { timed([&] { inner_->beginTrans(); }); }
  void commitTrans() override { timed([&] { inner_->commitTrans(); }); }
  void rollbackTrans() override { timed([&] { inner_->rollbackTrans(); }); }
  void setCommandTimeout(int s) override { inner_->setCommandTimeout(s); }

  // Starts the tally again.
  void reset() {
    calls = 0;
    seconds = 0;
    texts.clear();
  }

  long long calls = 0;
  double seconds = 0;
  std::unordered_set<std::size_t> texts;  // hashes of the statement texts sent

 private:
  void seen(const std::string& sql) { texts.insert(std::hash<std::string>{}(sql)); }
  template <class F>
  void timed(F&& f) {
    ++calls;
    const auto start = std::chrono::steady_clock::now();
    try {
      f();
    } catch (...) {
      seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      throw;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  std::unique_ptr<db::Connection> inner_;
};

}  // namespace erpsync::bench
