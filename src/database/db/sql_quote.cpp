// The one place where text becomes part of a T-SQL statement: string literals and bracketed names.
#include "db/sql_quote.h"

namespace erpsync::db {

std::string sqlQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

std::string sqlBracket(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 2);
  out += '[';
  for (char c : name) {
    if (c == ']') out += ']';
    out += c;
  }
  out += ']';
  return out;
}

}  // namespace erpsync::db
