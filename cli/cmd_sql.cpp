// erpsync-cli sql: runs statements through the database layer and prints results tab-separated.
#include "cmd_sql.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "db/connection.h"
#include "testbed.h"
#include "util/text.h"
#include "util/utf8_path.h"

namespace erpsync::cli {

namespace {

// The upper-cased words of a batch outside strings, bracketed names and comments, each with the
// parenthesis depth it stands at.
std::vector<std::pair<std::string, int>> keywords(std::string_view s) {
  std::vector<std::pair<std::string, int>> words;
  int depth = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      auto end = s.find("*/", i + 2);
      i = end == std::string_view::npos ? s.size() : end + 2;
    } else if (c == '\'' || c == '"' || c == '[') {
      char close = c == '[' ? ']' : c;
      ++i;
      while (i < s.size()) {
        if (s[i] == close) {
          if (i + 1 < s.size() && s[i + 1] == close) {
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      ++i;
    } else if (c == '(') {
      ++depth;
      ++i;
    } else if (c == ')') {
      --depth;
      ++i;
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#') {
      std::size_t b = i;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || s[i] == '@' ||
                              s[i] == '#' || s[i] == '$'))
        ++i;
      words.emplace_back(text::upper(s.substr(b, i - b)), depth);
    } else {
      ++i;
    }
  }
  return words;
}

std::filesystem::path programFolder(const std::string& home) {
  if (!home.empty()) return util::pathFromUtf8(home);
  if (const char* env = std::getenv("ERPSYNC_HOME"); env && *env) return env;
  return std::filesystem::current_path();
}

void printRecordset(const db::Recordset& rs, std::ostream& out) {
  if (rs.fields.empty()) {
    out << "(0 rows affected)\n";
    return;
  }
  for (std::size_t f = 0; f < rs.fields.size(); ++f) out << (f ? "\t" : "") << rs.fields[f].name;
  out << '\n';
  for (const auto& row : rs.rows) {
    for (std::size_t f = 0; f < row.size(); ++f)
      out << (f ? "\t" : "") << (row[f].isNull() ? "NULL" : row[f].toString());
    out << '\n';
  }
}

}  // namespace

bool isQueryBatch(std::string_view sql) {
  auto words = keywords(sql);
  if (words.empty()) return false;
  if (words.front().first == "SELECT" || words.front().first == "WITH") return true;
  static const char* changing[] = {"INSERT", "UPDATE",   "DELETE", "CREATE",  "ALTER", "DROP",
                                   "MERGE",  "TRUNCATE", "EXEC",   "EXECUTE", "GRANT", "REVOKE"};
  bool select = false;
  for (const auto& [w, depth] : words) {
    for (const char* k : changing)
      if (w == k) return false;
    if (w == "SELECT" && depth == 0) select = true;
  }
  return select;
}

int runSqlBatches(const std::string& server, const std::string& database, const std::string& home,
                  const std::vector<std::string>& batches, std::ostream& out, std::ostream& err) {
  try {
    auto c = db::openConnection(testbed::companyConnectionString(server, database), programFolder(home));
    for (const auto& sql : batches) {
      if (isQueryBatch(sql)) {
        printRecordset(c->query(sql), out);
      } else {
        long long n = c->execute(sql);
        out << '(' << (n < 0 ? 0 : n) << " rows affected)\n";
      }
      out.flush();
    }
  } catch (const db::DbError& e) {
    out.flush();
    err << e.description() << '\n';
    return 1;
  } catch (const std::exception& e) {
    out.flush();
    err << e.what() << '\n';
    return 1;
  }
  return 0;
}

void addSqlCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string server, database, file, home;
    std::vector<std::string> statements;
  };
  auto opts = std::make_shared<Options>();
  auto* sub = app.add_subcommand("sql", "Run T-SQL statements on a database and print their results");
  sub->add_option("--server", opts->server, "Data Source, e.g. embedded:servers/branch")->required();
  sub->add_option("--database", opts->database, "Initial Catalog, e.g. BR01 or QMRStartup")->required();
  auto* e = sub->add_option("-e,--execute", opts->statements, "A statement (repeatable; run in order)");
  auto* f = sub->add_option("--file", opts->file, "A script whose batches are separated by lines holding only GO");
  e->excludes(f);
  sub->add_option("--home", opts->home, "Folder that relative embedded: paths resolve against (default: current)");
  sub->callback([opts, &exitCode] {
    std::vector<std::string> batches;
    if (!opts->file.empty()) {
      std::ifstream in(util::pathFromUtf8(opts->file), std::ios::binary);
      if (!in) {
        std::cerr << "Cannot read " << opts->file << '\n';
        exitCode = 1;
        return;
      }
      std::stringstream ss;
      ss << in.rdbuf();
      batches = testbed::splitBatches(ss.str());
    } else if (!opts->statements.empty()) {
      batches = opts->statements;
    } else {
      std::cerr << "sql: give -e SQL or --file F\n";
      exitCode = 2;
      return;
    }
    exitCode = runSqlBatches(opts->server, opts->database, opts->home, batches, std::cout, std::cerr);
  });
}

}  // namespace erpsync::cli
