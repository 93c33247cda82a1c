// The prepared SQLite statements of one connection: an owning handle, a lease that lends a
// statement to one run, and a bounded cache of the most recently used statements. A statement
// someone is still stepping is never finalized under them: the cache only drops its own share, and
// the statement goes when its last user lets go.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace erpsync::db::embedded {

// Owns one prepared statement and finalizes it (the only place that does).
class Statement {
 public:
  explicit Statement(sqlite3_stmt* st) : st_(st) {}
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return st_; }

 private:
  friend class StatementLease;
  friend class StatementCache;
  sqlite3_stmt* st_;
  bool inUse_ = false;
};

// A statement lent to one run. While held the statement is marked in use; on release it is reset
// and its bindings cleared, so the next user starts from the beginning.
class StatementLease {
 public:
  StatementLease() = default;
  explicit StatementLease(std::shared_ptr<Statement> s);
  StatementLease(StatementLease&& o) noexcept = default;
  StatementLease& operator=(StatementLease&&) = delete;
  StatementLease(const StatementLease&) = delete;
  StatementLease& operator=(const StatementLease&) = delete;
  ~StatementLease();
  sqlite3_stmt* get() const { return s_ ? s_->get() : nullptr; }

 private:
  std::shared_ptr<Statement> s_;
};

// Least recently used statements by SQL text, at most `capacity` of them.
class StatementCache {
 public:
  explicit StatementCache(std::size_t capacity);
  ~StatementCache();
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // A statement for `sql`, ready to bind and step: the cached one, or a new one when it is not
  // cached or an outer caller is stepping the cached one (that one is used alone and not kept).
  // On a prepare error returns an empty lease and sets `rc` to SQLite's code.
  StatementLease acquire(sqlite3* db, const std::string& sql, int& rc);
  // Drops the statements whose SQL text matches (e.g. those that name a detached schema).
  void removeIf(const std::function<bool(const std::string&)>& pred);
  void clear();
  std::size_t size() const { return map_.size(); }
  std::size_t capacity() const { return capacity_; }

 private:
  using Entry = std::pair<std::string, std::shared_ptr<Statement>>;
  std::size_t capacity_;
  std::list<Entry> lru_;  // most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> map_;
};

// The capacity of the cache of connections opened from now on (2,000 unless changed; at least 1).
std::size_t defaultStatementCacheCapacity();
void setDefaultStatementCacheCapacity(std::size_t capacity);

}  // namespace erpsync::db::embedded
