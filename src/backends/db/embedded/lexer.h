// Tokens of a T-SQL batch: the lexer knows quoted strings (doubled quotes inside), N'' literals,
// [bracketed] and "quoted" identifiers, comments, numbers and @variables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/text.h"

namespace erpsync::db::embedded {

enum class TokKind : std::uint8_t {
  Ident,     // plain identifier or keyword
  QIdent,    // [bracketed] or "quoted" identifier (text holds the name)
  String,    // '...' (text holds the value, doubled quotes undone)
  NString,   // N'...'
  Number,    // 12, 12.50, 1e3
  Binary,    // 0x1F
  Variable,  // @name or @@name (text keeps the @ signs)
  Op,        // punctuation and operators: ( ) , . ; + - * / % = < > <= >= <> != !< !> & | ^ ~
  End,
};

struct Token {
  TokKind kind = TokKind::End;
  std::string text;
  std::uint32_t pos = 0;      // byte offset in the batch
  std::int32_t literal = -1;  // ordinal among the literal tokens (String, NString, Number), else -1
  bool isLiteral() const { return literal >= 0; }
};

struct LexResult {
  std::vector<Token> tokens;  // always ends with an End token
  int literalCount = 0;
};

// Splits a batch into tokens; throws DbError on an unclosed quote or comment.
LexResult lex(std::string_view sql);

// Case-insensitive comparison of an identifier token with an upper-case keyword.
bool isKeyword(const Token& t, std::string_view upperKeyword);
// Identifiers and keywords compare and fold case as ASCII (the shared text helpers).
using text::iequals;
using text::lower;
using text::upper;

}  // namespace erpsync::db::embedded
