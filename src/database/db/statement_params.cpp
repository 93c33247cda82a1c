// Puts a statement's parameters to a server: written into the text where the server takes none, or
// passed to sp_executesql where it does.
#include "db/statement_params.h"

#include <cctype>
#include <string_view>
#include <unordered_map>

#include "db/sql_quote.h"

namespace erpsync::db {

namespace {

bool nameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || c == '@' || c == '#' || c == '$' || u >= 0x80;
}

// The index after a quoted run that opens at s[i] and closes with `close` (doubled closers inside).
std::size_t skipQuoted(const std::string& s, std::size_t i, char close) {
  for (++i; i < s.size(); ++i) {
    if (s[i] != close) continue;
    if (i + 1 < s.size() && s[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return s.size();
}

// A bare number literal ("12.5", "-3", "1e+20") as quoted text; anything else as it is.
std::string quotedIfNumber(const std::string& literal) {
  if (literal.empty()) return literal;
  std::size_t i = literal[0] == '-' || literal[0] == '+' ? 1 : 0;
  if (i >= literal.size() || !(std::isdigit(static_cast<unsigned char>(literal[i])) || literal[i] == '.'))
    return literal;
  if (literal.size() > i + 1 && literal[i] == '0' && (literal[i + 1] == 'x' || literal[i + 1] == 'X'))
    return literal;  // binary
  return "'" + literal + "'";
}

// The parameter a name in the text names: the n-th for "@v<n>" when the list is so named in order,
// else by a look-up over the names.
class ParamsByName {
 public:
  explicit ParamsByName(const std::vector<Param>& params) : params_(params) {
    for (std::size_t i = 0; i < params_.size() && sequential_; ++i) sequential_ = numberOf(params_[i].name) == i + 1;
  }
  const Param* find(std::string_view name) {
    if (sequential_) {
      const std::size_t n = numberOf(name);
      return n >= 1 && n <= params_.size() ? &params_[n - 1] : nullptr;
    }
    if (byName_.empty())
      for (const auto& p : params_) byName_.emplace(p.name, &p);
    const auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second;
  }

 private:
  // n for "@v<n>", else 0.
  static std::size_t numberOf(std::string_view name) {
    if (name.size() < 3 || name[0] != '@' || name[1] != 'v' || name[2] == '0') return 0;
    std::size_t n = 0;
    for (std::size_t i = 2; i < name.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
      n = n * 10 + static_cast<std::size_t>(name[i] - '0');
    }
    return n;
  }

  const std::vector<Param>& params_;
  bool sequential_ = true;  // named @v1, @v2, ... in order: found by their number
  std::unordered_map<std::string, const Param*> byName_;
};

}  // namespace

std::string inlineParams(const std::string& sql, const std::vector<Param>& params) {
  ParamsByName byName(params);
  std::size_t literals = 0;
  for (const auto& p : params) literals += p.literal.size() + 2;
  std::string out;
  out.reserve(sql.size() + literals);
  std::size_t i = 0, copied = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'' || c == '"' || c == '[') {
      i = skipQuoted(sql, i, c == '[' ? ']' : c);
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      while (i < sql.size() && sql[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      const auto end = sql.find("*/", i + 2);
      i = end == std::string::npos ? sql.size() : end + 2;
    } else if (c == '@') {
      std::size_t end = i + 1;
      while (end < sql.size() && nameChar(sql[end])) ++end;
      if (const Param* p = byName.find(std::string_view(sql).substr(i, end - i))) {
        out.append(sql, copied, i - copied);
        out += quotedIfNumber(p->literal);
        copied = end;
      }
      i = end;
    } else if (nameChar(c)) {
      while (i < sql.size() && nameChar(sql[i])) ++i;  // a word that holds an @ is no parameter
    } else {
      ++i;
    }
  }
  out.append(sql, copied, std::string::npos);
  return out;
}

std::string executeSqlCall(const std::string& sql, const std::vector<Param>& params) {
  std::string declarations, values;
  for (const auto& p : params) {
    declarations += (declarations.empty() ? "" : ", ") + p.name + " " + p.type;
    values += ", " + p.name + " = " + p.literal;
  }
  std::string call = "EXEC sp_executesql N" + sqlQuote(sql);
  if (!params.empty()) call += ", N" + sqlQuote(declarations) + values;
  return call;
}

}  // namespace erpsync::db
