// The prepared SQLite statements of one connection: an owning handle, a lease that lends a statement to one
// run, and a bounded cache of the most recently used statements.
#include "db/embedded/statement_cache.h"

#include <sqlite3.h>

#include <atomic>

namespace erpsync::db::embedded {

namespace {
std::atomic<std::size_t> g_capacity{2000};
}  // namespace

std::size_t defaultStatementCacheCapacity() {
  return g_capacity;
}
void setDefaultStatementCacheCapacity(std::size_t capacity) {
  g_capacity = capacity == 0 ? 1 : capacity;
}

Statement::~Statement() {
  sqlite3_finalize(st_);
}

StatementLease::StatementLease(std::shared_ptr<Statement> s) : s_(std::move(s)) {
  s_->inUse_ = true;
}

StatementLease::~StatementLease() {
  if (!s_) return;
  sqlite3_reset(s_->get());
  sqlite3_clear_bindings(s_->get());
  s_->inUse_ = false;
}

StatementCache::StatementCache(std::size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}
StatementCache::~StatementCache() = default;

StatementLease StatementCache::acquire(sqlite3* db, const std::string& sql, int& rc) {
  rc = SQLITE_OK;
  auto it = map_.find(sql);
  if (it != map_.end()) {
    lru_.splice(lru_.begin(), lru_, it->second);
    if (!it->second->second->inUse_) return StatementLease(it->second->second);
  }
  sqlite3_stmt* st = nullptr;
  rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
  auto owned = std::make_shared<Statement>(st);
  if (rc != SQLITE_OK) return StatementLease();
  if (it != map_.end()) return StatementLease(std::move(owned));  // the cached one is busy
  lru_.emplace_front(sql, owned);
  map_.emplace(sql, lru_.begin());
  while (map_.size() > capacity_) {
    map_.erase(lru_.back().first);
    lru_.pop_back();
  }
  return StatementLease(std::move(owned));
}

void StatementCache::removeIf(const std::function<bool(const std::string&)>& pred) {
  for (auto it = lru_.begin(); it != lru_.end();) {
    if (pred(it->first)) {
      map_.erase(it->first);
      it = lru_.erase(it);
    } else {
      ++it;
    }
  }
}

void StatementCache::clear() {
  map_.clear();
  lru_.clear();
}

}  // namespace erpsync::db::embedded
