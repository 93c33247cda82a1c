#include "statement_shape.h"

#include <cctype>
#include <vector>

namespace erpsync::test {

namespace {

bool isWordStart(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) || c == '_' || c == '@' || c == '#' || u >= 0x80;
}
bool isWordChar(char c) {
  return isWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$';
}
bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Words after which a sign starts a value rather than a subtraction.
bool signStartsValueAfter(const std::string& prev) {
  if (prev.empty()) return true;
  if (prev == ")" || prev == "]" || prev == "?") return false;
  const char c = prev[0];
  if (!isWordChar(c) && c != '[' && c != '"') return true;  // an operator, a comma, an opening bracket
  static const char* const words[] = {"select", "then",    "else", "when", "and",   "or",  "return",
                                      "values", "between", "not",  "set",  "where", "top", "by"};
  for (const char* w : words)
    if (prev == w) return true;
  return false;
}

// Quoted text from s[i] (the opening quote) up to and including its closing quote; doubled quotes
// stay inside. Returns the index after it.
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

std::vector<std::string> tokens(const std::string& s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      auto end = s.find("*/", i + 2);
      i = end == std::string::npos ? s.size() : end + 2;
    } else if (c == '\'') {
      i = skipQuoted(s, i, '\'');
      out.push_back("?");
    } else if ((c == 'N' || c == 'n') && i + 1 < s.size() && s[i + 1] == '\'') {
      i = skipQuoted(s, i + 1, '\'');
      out.push_back("?");
    } else if (c == '[' || c == '"') {
      auto end = skipQuoted(s, i, c == '[' ? ']' : '"');
      out.push_back(lower(s.substr(i, end - i)));
      i = end;
    } else if (isWordStart(c)) {
      auto start = i;
      while (i < s.size() && isWordChar(s[i])) ++i;
      std::string w = lower(s.substr(start, i - start));
      out.push_back(w == "null" ? "?" : w);
    } else if (isDigit(c) || (c == '.' && i + 1 < s.size() && isDigit(s[i + 1]))) {
      if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        i += 2;
        while (i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i]))) ++i;
      } else {
        while (i < s.size() && (isDigit(s[i]) || s[i] == '.')) ++i;
        if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
          auto j = i + 1;
          if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
          if (j < s.size() && isDigit(s[j])) {
            i = j;
            while (i < s.size() && isDigit(s[i])) ++i;
          }
        }
      }
      // A sign in front of a value belongs to it.
      if (out.size() >= 1 && (out.back() == "-" || out.back() == "+") &&
          signStartsValueAfter(out.size() >= 2 ? out[out.size() - 2] : std::string()))
        out.pop_back();
      out.push_back("?");
    } else {
      out.push_back(std::string(1, c));
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string statementShape(const std::string& sql) {
  auto t = tokens(sql);
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < t.size(); ++i) {
    kept.push_back(t[i]);
    // in ( ? , ? , ... ) -> in ( ? )
    if (t[i] == "in" && i + 2 < t.size() && t[i + 1] == "(" && t[i + 2] == "?") {
      std::size_t j = i + 3;
      while (j + 1 < t.size() && t[j] == "," && t[j + 1] == "?") j += 2;
      if (j < t.size() && t[j] == ")") {
        kept.insert(kept.end(), {"(", "?", ")"});
        i = j;
      }
    }
  }
  std::string out;
  for (const auto& k : kept) {
    if (!out.empty()) out += ' ';
    out += k;
  }
  return out;
}

}  // namespace erpsync::test
