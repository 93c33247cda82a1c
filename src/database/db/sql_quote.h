// The one place where text becomes part of a T-SQL statement: string literals and bracketed names.
#pragma once

#include <string>
#include <string_view>

namespace erpsync::db {

// Quotes a text as a T-SQL string literal: 'O''Brien'.
std::string sqlQuote(std::string_view text);
// Brackets a name (database, table, linked server) with any ']' doubled: [a]]b].
std::string sqlBracket(std::string_view name);

}  // namespace erpsync::db
