// The parse cache: bounded by the bytes its batches hold, least recently used out first, a batch's
// translations counted once it has run; and a connection whose cache keeps little or nothing still
// runs every batch as one that keeps everything does.
#include "db/embedded/parse_cache.h"

#include "db/embedded/connection_impl.h"
#include "db/embedded/parser.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using db::embedded::ParseCache;
using db::embedded::Unit;

std::shared_ptr<Unit> parsed(const std::string& sql) {
  auto u = std::make_shared<Unit>();
  u->lex = db::embedded::lex(sql);
  u->batch = db::embedded::parseBatch(u->lex, sql);
  return u;
}

// An insert of `rows` rows, each its own statement, as an upload batch carries a voucher's lines.
std::string insertBatch(int rows) {
  std::string sql;
  for (int i = 0; i < rows; ++i)
    sql += "INSERT INTO tblSalesItem (InvID, SlNo, ItemID, Qty, Rate) VALUES (@c, " + std::to_string(i) +
           ", 7, 2.5, 10.25)\r\n";
  return sql;
}

TEST(ParseCache, TheLeastRecentlyUsedBatchGoesWhenTheBytesRunOut) {
  auto a = parsed(insertBatch(20)), b = parsed(insertBatch(20)), c = parsed(insertBatch(20));
  const std::size_t one = db::embedded::estimateBytes(*a);
  ParseCache cache(one * 5 / 2 + 1024);
  cache.put("a", a);
  cache.put("b", b);
  EXPECT_EQ(cache.find("a"), a);  // a is now the most recently used
  cache.put("c", c);
  EXPECT_EQ(cache.find("b"), nullptr);
  EXPECT_EQ(cache.find("a"), a);
  EXPECT_EQ(cache.find("c"), c);
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_LE(cache.bytes(), cache.budget());
}

TEST(ParseCache, ManySmallBatchesFitWhereOneLargeOneWouldNot) {
  auto large = parsed(insertBatch(200));
  ParseCache cache(db::embedded::estimateBytes(*large) / 2);
  cache.put("large", large);
  EXPECT_EQ(cache.find("large"), nullptr);
  EXPECT_EQ(cache.bytes(), 0u);
  for (int i = 0; i < 50; ++i) cache.put("small" + std::to_string(i), parsed("SELECT " + std::to_string(i)));
  EXPECT_EQ(cache.size(), 50u);
  EXPECT_LE(cache.bytes(), cache.budget());
}

TEST(ParseCache, TranslationsMadeWhileABatchRanCountAgainstTheBudget) {
  auto a = parsed(insertBatch(10)), b = parsed(insertBatch(10));
  ParseCache cache(db::embedded::estimateBytes(*a) * 3);
  cache.put("a", a);
  cache.put("b", b);
  ASSERT_EQ(cache.size(), 2u);
  const std::size_t before = cache.bytes();
  // b ran: each statement got its translation, a long SQLite text with its parameters.
  for (auto& s : b->batch.statements) {
    Unit::Plan& p = b->plans[s.get()];
    p.t.sql.assign(4000, 'x');
    p.t.params.resize(40);
  }
  cache.remeasure("b");
  EXPECT_GT(cache.bytes(), before);
  EXPECT_LE(cache.bytes(), cache.budget());
  // a, used longer ago, made room for b's translations.
  EXPECT_EQ(cache.find("a"), nullptr);
  EXPECT_EQ(cache.find("b"), b);
}

// The same batches on connections whose caches keep nothing, a little and plenty: the same answers,
// with the shapes repeated (cache hits), literals that are syntax (a length, a style) changing under
// one shape, and a batch's own translations made as it runs.
class EmbeddedParseCacheBudget : public EmbeddedFixture {
 protected:
  std::size_t saved = db::embedded::defaultParseCacheBudget();
  void TearDown() override { db::embedded::setDefaultParseCacheBudget(saved); }

  std::vector<std::string> answers(db::Connection& c) {
    std::vector<std::string> out;
    c.execute("CREATE TABLE tblItem (ItemID int IDENTITY(1,1) NOT NULL PRIMARY KEY, Name varchar(40), Qty int)");
    for (int round = 0; round < 3; ++round) {
      for (int i = 1; i <= 12; ++i) {
        const std::string n = std::to_string(i + round * 12);
        c.execute("DECLARE @q int SET @q = " + n + " INSERT INTO tblItem (Name, Qty) VALUES ('Item " + n + "', @q)");
        auto rs =
            c.query("IF EXISTS (SELECT 1 FROM tblItem WHERE Qty = " + n + ") SELECT CONVERT(varchar(" +
                    std::to_string(i) + "), 'abcdefghijklmnop'), count(*) " + "FROM tblItem ELSE SELECT 'none', 0");
        out.push_back(rs.at(0, 0).toString() + "/" + rs.at(0, 1).toString());
      }
      out.push_back(c.query("SELECT sum(Qty), max(ItemID) FROM tblItem").at(0, 0).toString());
    }
    return out;
  }
};

TEST_F(EmbeddedParseCacheBudget, EveryBudgetGivesTheSameAnswers) {
  db::embedded::setDefaultParseCacheBudget(64u << 20);
  const auto expected = answers(*server("plenty"));
  ASSERT_EQ(expected.front(), "a/1");
  ASSERT_EQ(expected.back(), "666");
  for (std::size_t budget : {std::size_t{0}, std::size_t{2000}, std::size_t{20000}}) {
    SCOPED_TRACE("budget " + std::to_string(budget));
    db::embedded::setDefaultParseCacheBudget(budget);
    EXPECT_EQ(answers(*server("srv" + std::to_string(budget))), expected);
  }
}

}  // namespace
}  // namespace erpsync::test
