// Runs every statement of tests/corpus/*.sql on a fresh testbed, one test per file. The corpus holds the
// synchroniser's statement texts as it sends them (with sample values filled in); each statement names
// the database it runs on and, where it is meant to fail, the phrase its error must contain. Every
// failing statement is reported and the file goes on, so one run lists all of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cmd_sql.h"
#include "corpus_file.h"
#include "db/connection.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;

fs::path corpusDir() {
  return test::sourceDir() / "tests" / "corpus";
}

std::vector<std::string> corpusFiles() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(corpusDir(), ec))
    if (e.path().extension() == ".sql") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}


class Databases {
 public:
  explicit Databases(fs::path home) : home_(std::move(home)) {}
  db::Connection& on(const std::string& target) {
    auto& c = connections_[target];
    if (!c) {
      testbed::InitOptions o;
      std::string cs;
      if (target == "branch") cs = testbed::companyConnectionString(o.branchServer, o.branchDb);
      if (target == "central") cs = testbed::companyConnectionString(o.centralServer, o.centralDb);
      if (target == "startup-branch") cs = testbed::startupConnectionString(o.branchServer);
      if (target == "startup-central") cs = testbed::startupConnectionString(o.centralServer);
      if (cs.empty()) throw std::invalid_argument("unknown database " + target);
      c = db::openConnection(cs, home_);
    }
    return *c;
  }

 private:
  fs::path home_;
  std::map<std::string, std::unique_ptr<db::Connection>> connections_;
};

std::string shorten(const std::string& s) {
  return s.size() > 400 ? s.substr(0, 400) + " ..." : s;
}

bool sameValue(const db::Value& v, const std::string& expected) {
  if (expected == "NULL") return v.isNull();
  if (v.isNull()) return false;
  char* end = nullptr;
  double x = std::strtod(expected.c_str(), &end);
  if (!expected.empty() && end && *end == '\0' && (v.isNumber() || !v.isText()))
    return std::abs(v.toDouble() - x) < 1e-9;
  return v.toString() == expected;
}

// Runs one statement and returns what went wrong with it ("" when it behaved as the corpus says).
std::string runStatement(Databases& dbs, const test::CorpusStatement& s) {
  try {
    auto& c = dbs.on(s.on);
    if (cli::isQueryBatch(s.text)) {
      auto rs = c.query(s.text);
      if (!s.expectError.empty()) return "succeeded, expected an error containing \"" + s.expectError + "\"";
      if (s.expectRows && static_cast<long long>(rs.size()) != *s.expectRows)
        return "returned " + std::to_string(rs.size()) + " rows, expected " + std::to_string(*s.expectRows);
      if (s.expectValue) {
        if (rs.empty() || rs.fields.empty()) return "returned no row, expected the value " + *s.expectValue;
        const auto& v = rs.at(0, 0);
        if (!sameValue(v, *s.expectValue))
          return "returned " + (v.isNull() ? std::string("NULL") : "\"" + v.toString() + "\"") + ", expected " +
                 *s.expectValue;
      }
    } else {
      long long n = c.execute(s.text);
      if (!s.expectError.empty()) return "succeeded, expected an error containing \"" + s.expectError + "\"";
      if (s.expectRows && n != *s.expectRows)
        return std::to_string(n) + " rows affected, expected " + std::to_string(*s.expectRows);
    }
  } catch (const db::DbError& e) {
    if (s.expectError.empty()) return "failed: " + e.description();
    if (!test::errorMatches(e.description(), s.expectError))
      return "failed with \"" + e.description() + "\", expected an error containing \"" + s.expectError + "\"";
  } catch (const std::exception& e) {
    return std::string("failed: ") + e.what();
  }
  return "";
}

// Runs a helper file's statements (the upgrade, the linked server) before the file under test; their
// own expectations are checked by their own tests, so only unexpected failures are reported here.
void prepare(Databases& dbs, const std::string& what) {
  std::string file = what == "upgrade" ? "schema_upgrade.sql" : what == "linked-server" ? "linked_server.sql" : "";
  ASSERT_FALSE(file.empty()) << "unknown prepare step " << what;
  auto corpus = test::parseCorpus(test::readFile(corpusDir() / file));
  for (const auto& s : corpus.statements) {
    if (what == "linked-server" && s.operation.rfind("ConfigureLinkedServer:", 0) != 0) continue;
    std::string problem = runStatement(dbs, s);
    if (!problem.empty() && s.expectError.empty()) {
      ADD_FAILURE() << "prepare " << what << ", " << file << ":" << s.line << " (" << s.operation << ") " << problem;
      return;
    }
  }
}

// A corpus file; one that reruns another takes that file's statements with their rerun expectations.
// source names the file the statements (and their line numbers) come from.
test::CorpusFile loadCorpus(const std::string& name, std::string& source) {
  auto corpus = test::parseCorpus(test::readFile(corpusDir() / name));
  source = name;
  if (!corpus.rerunOf.empty()) {
    source = corpus.rerunOf;
    corpus.statements = test::parseCorpus(test::readFile(corpusDir() / source)).statements;
    for (auto& s : corpus.statements) s.expectError = s.rerunExpectError;
  }
  return corpus;
}

class CorpusRun : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusRun, EveryStatementBehavesAsWritten) {
  std::string source;
  auto corpus = loadCorpus(GetParam(), source);
  ASSERT_FALSE(corpus.statements.empty());
  test::TempDir home;
  const testbed::InitOptions sizes;
  test::copyTestbed(home.path(), {sizes.items, sizes.ledgers});
  Databases dbs(home.path());
  for (const auto& p : corpus.prepare) prepare(dbs, p);
  for (const auto& s : corpus.statements) {
    std::string problem = runStatement(dbs, s);
    EXPECT_TRUE(problem.empty()) << GetParam() << " (" << source << ":" << s.line << ")"
                                 << " [" << s.on << "] " << s.operation << "\n  " << problem
                                 << "\n  statement: " << shorten(s.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusRun, ::testing::ValuesIn(corpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return fs::path(info.param).stem().string();
                         });

// The corpus files themselves: every statement names a known database and the files cover the subjects.
TEST(CorpusFiles, AreWellFormed) {
  auto files = corpusFiles();
  ASSERT_GE(files.size(), 20u);
  std::size_t total = 0;
  for (const auto& f : files) {
    auto corpus = test::parseCorpus(test::readFile(corpusDir() / f));
    total += corpus.statements.size();
    for (const auto& s : corpus.statements) {
      EXPECT_TRUE(s.on == "branch" || s.on == "central" || s.on == "startup-branch" || s.on == "startup-central")
          << f << ":" << s.line << " names no database";
      EXPECT_FALSE(s.operation.empty()) << f << ":" << s.line;
      EXPECT_FALSE(s.text.empty()) << f << ":" << s.line;
    }
  }
  EXPECT_GT(total, 500u);
}

}  // namespace
}  // namespace erpsync
