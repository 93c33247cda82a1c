// The connection's cache of parsed batches, bounded by the bytes they hold (see parse_cache.h), and
// the estimate of those bytes.
#include "db/embedded/parse_cache.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "db/embedded/connection_impl.h"

namespace erpsync::db::embedded {

namespace {

// The syntax tree a token brings, on average, as measured on the upload's batches (fifty vouchers'
// headers and lines, a value per column): an expression node, its name and its vectors come to a
// few hundred bytes for every two or three tokens.
constexpr std::size_t kTreeBytesPerToken = 120;
// What the allocator adds to every block it hands out, and a map or list node's own links.
constexpr std::size_t kBlockOverhead = 16;
constexpr std::size_t kNodeOverhead = 48;

std::size_t heapText(const std::string& s) {
  // Short strings live inside the object.
  return s.capacity() > 15 ? s.capacity() + 1 + kBlockOverhead : 0;
}

std::size_t planBytes(const Unit::Plan& p) {
  const Translated& t = p.t;
  std::size_t n = sizeof(Unit::Plan) + kNodeOverhead + heapText(p.varsKey) + heapText(t.sql) + heapText(t.targetAlias) +
                  heapText(t.targetTable);
  n += t.params.capacity() * sizeof(BoundParameter) + kBlockOverhead;
  for (const auto& b : t.params) n += heapText(b.variable);
  n += t.columnNames.capacity() * sizeof(std::string) + t.columnTypes.capacity() * sizeof(ColType);
  for (const auto& c : t.columnNames) n += heapText(c);
  n += t.assignVars.capacity() * sizeof(std::string) + t.keyParams.capacity() * sizeof(std::pair<std::string, int>) +
       t.catalogs.capacity() * sizeof(CatalogRef);
  return n;
}

std::atomic<std::size_t> g_budget{32u << 20};

void loadBudgetFromEnvironment() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* mb = std::getenv("ERPSYNC_PARSE_CACHE_MB");
    if (!mb || !*mb) return;
    char* end = nullptr;
    const long long n = std::strtoll(mb, &end, 10);
    if (*end == '\0' && n >= 0) g_budget = static_cast<std::size_t>(n) << 20;
  });
}

}  // namespace

std::size_t estimateBytes(const Unit& u) {
  std::size_t n = sizeof(Unit) + u.lex.tokens.capacity() * sizeof(Token) + kBlockOverhead;
  for (const Token& t : u.lex.tokens) n += heapText(t.text);
  n += u.lex.tokens.size() * kTreeBytesPerToken;
  for (const auto& [key, plan] : u.plans) n += planBytes(plan);
  return n;
}

ParseCache::ParseCache(std::size_t budgetBytes) : budget_(budgetBytes) {}
ParseCache::~ParseCache() = default;

std::shared_ptr<Unit> ParseCache::find(const std::string& key) {
  auto it = map_.find(key);
  if (it == map_.end()) return nullptr;
  lru_.splice(lru_.begin(), lru_, it->second);
  return it->second->unit;
}

void ParseCache::put(const std::string& key, std::shared_ptr<Unit> unit) {
  if (auto it = map_.find(key); it != map_.end()) drop(it->second);
  Entry e{key, std::move(unit), 0, 0};
  e.bytes = estimateBytes(*e.unit) + 2 * heapText(key) + kNodeOverhead;
  e.plans = e.unit->plans.size();
  if (e.bytes > budget_) return;
  bytes_ += e.bytes;
  lru_.push_front(std::move(e));
  map_[key] = lru_.begin();
  shrink();
}

void ParseCache::remeasure(const std::string& key) {
  auto it = map_.find(key);
  if (it == map_.end()) return;
  Entry& e = *it->second;
  if (e.plans == e.unit->plans.size()) return;
  bytes_ -= e.bytes;
  e.bytes = estimateBytes(*e.unit) + 2 * heapText(key) + kNodeOverhead;
  e.plans = e.unit->plans.size();
  bytes_ += e.bytes;
  // The batch that just ran is the most recently used: the others go first, and it too when it alone
  // is over the budget.
  if (e.bytes > budget_)
    drop(it->second);
  else
    shrink();
}

void ParseCache::clear() {
  map_.clear();
  lru_.clear();
  bytes_ = 0;
}

void ParseCache::drop(std::list<Entry>::iterator it) {
  bytes_ -= it->bytes;
  map_.erase(it->key);
  lru_.erase(it);
}

void ParseCache::shrink() {
  while (bytes_ > budget_ && !lru_.empty()) drop(std::prev(lru_.end()));
}

std::size_t defaultParseCacheBudget() {
  loadBudgetFromEnvironment();
  return g_budget;
}

void setDefaultParseCacheBudget(std::size_t bytes) {
  loadBudgetFromEnvironment();
  g_budget = bytes;
}

}  // namespace erpsync::db::embedded
