#include "db/embedded/lexer.h"

#include <cctype>

#include "db/db_error.h"

namespace erpsync::db::embedded {

namespace {

bool identStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '#' || c >= 0x80;
}
bool identChar(unsigned char c) {
  return identStart(c) || (c >= '0' && c <= '9') || c == '@' || c == '$';
}
bool digit(unsigned char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void unclosed(std::string_view rest) {
  std::string shown(rest.substr(0, 60));
  throw DbError("Unclosed quotation mark after the character string '" + shown + "'.", "42000", 105);
}

}  // namespace

bool isKeyword(const Token& t, std::string_view kw) {
  return t.kind == TokKind::Ident && iequals(t.text, kw);
}

LexResult lex(std::string_view s) {
  LexResult r;
  r.tokens.reserve(s.size() / 4 + 4);
  std::size_t i = 0;
  const std::size_t n = s.size();
  auto push = [&](TokKind k, std::string text, std::size_t pos) {
    Token t;
    t.kind = k;
    t.text = std::move(text);
    t.pos = static_cast<std::uint32_t>(pos);
    if (k == TokKind::String || k == TokKind::NString || k == TokKind::Number) t.literal = r.literalCount++;
    r.tokens.push_back(std::move(t));
  };
  auto readQuoted = [&](std::size_t start, char close) {
    // start points just after the opening quote; returns the value and leaves i after the close.
    std::string v;
    std::size_t j = start;
    for (;;) {
      if (j >= n) unclosed(s.substr(start));
      if (s[j] == close) {
        if (j + 1 < n && s[j + 1] == close) {
          v += close;
          j += 2;
          continue;
        }
        ++j;
        break;
      }
      v += s[j++];
    }
    i = j;
    return v;
  };
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == 0) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      // Block comments nest in T-SQL.
      int depth = 0;
      std::size_t j = i;
      while (j < n) {
        if (s[j] == '/' && j + 1 < n && s[j + 1] == '*') {
          ++depth;
          j += 2;
        } else if (s[j] == '*' && j + 1 < n && s[j + 1] == '/') {
          --depth;
          j += 2;
          if (depth == 0) break;
        } else {
          ++j;
        }
      }
      if (depth != 0) throw DbError("Missing end comment mark '*/'.", "42000", 113);
      i = j;
      continue;
    }
    std::size_t start = i;
    if ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'') {
      std::string v = readQuoted(i + 2, '\'');
      push(TokKind::NString, std::move(v), start);
      continue;
    }
    if (c == '\'') {
      std::string v = readQuoted(i + 1, '\'');
      push(TokKind::String, std::move(v), start);
      continue;
    }
    if (c == '[') {
      std::string v = readQuoted(i + 1, ']');
      push(TokKind::QIdent, std::move(v), start);
      continue;
    }
    if (c == '"') {
      std::string v = readQuoted(i + 1, '"');
      push(TokKind::QIdent, std::move(v), start);
      continue;
    }
    if (c == '0' && i + 1 < n && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
      std::size_t j = i + 2;
      while (j < n && std::isxdigit(static_cast<unsigned char>(s[j]))) ++j;
      push(TokKind::Binary, std::string(s.substr(i, j - i)), start);
      i = j;
      continue;
    }
    if (digit(c) || (c == '.' && i + 1 < n && digit(static_cast<unsigned char>(s[i + 1])))) {
      std::size_t j = i;
      while (j < n && digit(static_cast<unsigned char>(s[j]))) ++j;
      if (j < n && s[j] == '.') {
        ++j;
        while (j < n && digit(static_cast<unsigned char>(s[j]))) ++j;
      }
      if (j < n && (s[j] == 'e' || s[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < n && digit(static_cast<unsigned char>(s[k]))) {
          j = k;
          while (j < n && digit(static_cast<unsigned char>(s[j]))) ++j;
        }
      }
      push(TokKind::Number, std::string(s.substr(i, j - i)), start);
      i = j;
      continue;
    }
    if (c == '@') {
      std::size_t j = i + 1;
      if (j < n && s[j] == '@') ++j;
      while (j < n && identChar(static_cast<unsigned char>(s[j]))) ++j;
      push(TokKind::Variable, std::string(s.substr(i, j - i)), start);
      i = j;
      continue;
    }
    if (identStart(c)) {
      std::size_t j = i + 1;
      while (j < n && identChar(static_cast<unsigned char>(s[j]))) ++j;
      push(TokKind::Ident, std::string(s.substr(i, j - i)), start);
      i = j;
      continue;
    }
    // Operators.
    if (i + 1 < n) {
      char d = s[i + 1];
      if ((c == '<' && (d == '=' || d == '>')) || (c == '>' && d == '=') ||
          (c == '!' && (d == '=' || d == '<' || d == '>'))) {
        push(TokKind::Op, std::string(s.substr(i, 2)), start);
        i += 2;
        continue;
      }
    }
    switch (c) {
      case '(':
      case ')':
      case ',':
      case '.':
      case ';':
      case '+':
      case '-':
      case '*':
      case '/':
      case '%':
      case '=':
      case '<':
      case '>':
      case '&':
      case '|':
      case '^':
      case '~':
        push(TokKind::Op, std::string(1, static_cast<char>(c)), start);
        ++i;
        continue;
      default:
        break;
    }
    throw DbError("Incorrect syntax near '" + std::string(1, static_cast<char>(c)) + "'.", "42000", 102);
  }
  Token end;
  end.kind = TokKind::End;
  end.pos = static_cast<std::uint32_t>(n);
  r.tokens.push_back(end);
  return r;
}

}  // namespace erpsync::db::embedded
