// Splits a T-SQL batch into tokens (see lexer.h).
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

namespace {

bool space(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == 0;
}

// One pass over a batch's text, token by token.
class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s), n_(s.size()) { r_.tokens.reserve(s.size() / 4 + 4); }

  LexResult run() {
    while (i_ < n_) {
      if (skipSpaceOrComment()) continue;
      if (!quoted() && !number() && !word() && !op())
        throw DbError("Incorrect syntax near '" + std::string(1, s_[i_]) + "'.", "42000", 102);
    }
    Token end;
    end.kind = TokKind::End;
    end.pos = static_cast<std::uint32_t>(n_);
    r_.tokens.push_back(end);
    return std::move(r_);
  }

 private:
  bool at(std::size_t j, char c) const { return j < n_ && s_[j] == c; }
  bool digitAt(std::size_t j) const { return j < n_ && digit(static_cast<unsigned char>(s_[j])); }

  void push(TokKind k, std::string text, std::size_t pos) {
    Token t;
    t.kind = k;
    t.text = std::move(text);
    t.pos = static_cast<std::uint32_t>(pos);
    if (k == TokKind::String || k == TokKind::NString || k == TokKind::Number) t.literal = r_.literalCount++;
    r_.tokens.push_back(std::move(t));
  }
  // The text from i_ to end as a token; i_ moves to end.
  void pushUpTo(TokKind k, std::size_t end) {
    push(k, std::string(s_.substr(i_, end - i_)), i_);
    i_ = end;
  }

  bool skipSpaceOrComment() {
    if (space(static_cast<unsigned char>(s_[i_]))) {
      ++i_;
    } else if (at(i_, '-') && at(i_ + 1, '-')) {
      while (i_ < n_ && s_[i_] != '\n') ++i_;
    } else if (at(i_, '/') && at(i_ + 1, '*')) {
      blockComment();
    } else {
      return false;
    }
    return true;
  }

  // Block comments nest in T-SQL.
  void blockComment() {
    int depth = 0;
    std::size_t j = i_;
    while (j < n_) {
      if (at(j, '/') && at(j + 1, '*')) {
        ++depth;
        j += 2;
      } else if (at(j, '*') && at(j + 1, '/')) {
        --depth;
        j += 2;
        if (depth == 0) break;
      } else {
        ++j;
      }
    }
    if (depth != 0) throw DbError("Missing end comment mark '*/'.", "42000", 113);
    i_ = j;
  }

  // The text from start (just after the opening quote) to the closing one, doubled closing quotes
  // undone; i_ moves past the close.
  std::string readQuoted(std::size_t start, char close) {
    std::string v;
    std::size_t j = start;
    for (;;) {
      if (j >= n_) unclosed(s_.substr(start));
      if (s_[j] == close) {
        if (at(j + 1, close)) {
          v += close;
          j += 2;
          continue;
        }
        ++j;
        break;
      }
      v += s_[j++];
    }
    i_ = j;
    return v;
  }

  // N'...', '...', [...] and "...".
  bool quoted() {
    const std::size_t start = i_;
    const char c = s_[i_];
    if ((c == 'N' || c == 'n') && at(i_ + 1, '\''))
      push(TokKind::NString, readQuoted(i_ + 2, '\''), start);
    else if (c == '\'')
      push(TokKind::String, readQuoted(i_ + 1, '\''), start);
    else if (c == '[')
      push(TokKind::QIdent, readQuoted(i_ + 1, ']'), start);
    else if (c == '"')
      push(TokKind::QIdent, readQuoted(i_ + 1, '"'), start);
    else
      return false;
    return true;
  }

  // 0x1F, 12, 12.50, .5, 1e3.
  bool number() {
    if (at(i_, '0') && (at(i_ + 1, 'x') || at(i_ + 1, 'X'))) {
      std::size_t j = i_ + 2;
      while (j < n_ && std::isxdigit(static_cast<unsigned char>(s_[j]))) ++j;
      pushUpTo(TokKind::Binary, j);
      return true;
    }
    if (!digitAt(i_) && !(at(i_, '.') && digitAt(i_ + 1))) return false;
    std::size_t j = i_;
    while (digitAt(j)) ++j;
    if (at(j, '.')) {
      ++j;
      while (digitAt(j)) ++j;
    }
    if (at(j, 'e') || at(j, 'E')) {
      std::size_t k = j + 1;
      if (at(k, '+') || at(k, '-')) ++k;
      if (digitAt(k)) {
        j = k;
        while (digitAt(j)) ++j;
      }
    }
    pushUpTo(TokKind::Number, j);
    return true;
  }

  // @variable, @@function, identifier or keyword.
  bool word() {
    const auto c = static_cast<unsigned char>(s_[i_]);
    if (c != '@' && !identStart(c)) return false;
    std::size_t j = i_ + 1;
    if (c == '@' && at(j, '@')) ++j;
    while (j < n_ && identChar(static_cast<unsigned char>(s_[j]))) ++j;
    pushUpTo(c == '@' ? TokKind::Variable : TokKind::Ident, j);
    return true;
  }

  bool op() {
    const char c = s_[i_];
    const char d = i_ + 1 < n_ ? s_[i_ + 1] : '\0';
    if ((c == '<' && (d == '=' || d == '>')) || (c == '>' && d == '=') ||
        (c == '!' && (d == '=' || d == '<' || d == '>'))) {
      pushUpTo(TokKind::Op, i_ + 2);
      return true;
    }
    if (std::string_view("(),.;+-*/%=<>&|^~").find(c) == std::string_view::npos) return false;
    pushUpTo(TokKind::Op, i_ + 1);
    return true;
  }

  std::string_view s_;
  std::size_t n_;
  std::size_t i_ = 0;
  LexResult r_;
};

}  // namespace

LexResult lex(std::string_view s) {
  return Lexer(s).run();
}

}  // namespace erpsync::db::embedded
