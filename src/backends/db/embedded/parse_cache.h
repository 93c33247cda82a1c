// The parsed batches of one connection, kept so a batch of a shape seen before is neither lexed into
// a tree nor translated again. Bounded by an estimate of the bytes the batches hold, not by their
// number: a large batch (fifty vouchers of an upload, a few megabytes parsed) weighs as much as
// thousands of small ones. The least recently used go first.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

namespace erpsync::db::embedded {

struct Unit;

// An estimate of the bytes a parsed batch holds: its tokens, its syntax tree and its translations.
std::size_t estimateBytes(const Unit& unit);

class ParseCache {
 public:
  explicit ParseCache(std::size_t budgetBytes);
  ~ParseCache();
  ParseCache(const ParseCache&) = delete;
  ParseCache& operator=(const ParseCache&) = delete;

  // The batch kept under key, now the most recently used; null when there is none.
  std::shared_ptr<Unit> find(const std::string& key);
  // Keeps unit under key (in place of one kept there), then lets the least recently used go until the
  // estimate is within the budget. A batch larger than the whole budget is not kept.
  void put(const std::string& key, std::shared_ptr<Unit> unit);
  // A kept batch grew (its statements were translated as it ran): its estimate is taken again.
  void remeasure(const std::string& key);
  void clear();

  std::size_t bytes() const { return bytes_; }
  std::size_t size() const { return map_.size(); }
  std::size_t budget() const { return budget_; }

 private:
  struct Entry {
    std::string key;
    std::shared_ptr<Unit> unit;
    std::size_t bytes = 0;
    std::size_t plans = 0;  // translations counted in `bytes`
  };
  void drop(std::list<Entry>::iterator it);
  void shrink();

  std::size_t budget_;
  std::size_t bytes_ = 0;
  std::list<Entry> lru_;  // most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> map_;
};

// The budget of the parse cache of connections opened from now on, in bytes: 32 MiB unless changed,
// or ERPSYNC_PARSE_CACHE_MB (read once) in the environment. 0 keeps nothing.
std::size_t defaultParseCacheBudget();
void setDefaultParseCacheBudget(std::size_t bytes);

}  // namespace erpsync::db::embedded
