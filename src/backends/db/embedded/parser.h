// Parses a T-SQL batch into the syntax tree; anything outside the supported subset fails with
// "Incorrect syntax near '<token>'." (native 102).
#pragma once

#include <string_view>

#include "db/embedded/ast.h"
#include "db/embedded/lexer.h"

namespace erpsync::db::embedded {

ast::Batch parseBatch(const LexResult& lexed, std::string_view sql);

[[noreturn]] void syntaxError(std::string_view near);
// SQL Server's refusal of a statement nested deeper than it takes (native 191).
[[noreturn]] void nestedTooDeeply();

}  // namespace erpsync::db::embedded
