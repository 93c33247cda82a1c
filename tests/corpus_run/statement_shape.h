// The shape of a statement: its text with every literal (quoted string, N'' string, number, NULL) as
// one token "?", comments dropped, whitespace collapsed and words in lower case. Two statements of one
// shape differ only in their values, so the shape of what an operation sends can be looked up among
// the shapes of the corpus statements.
#pragma once

#include <string>

namespace erpsync::test {

// A list of literals after IN ("in (1, 2, 3)") is one literal: how many voucher types are ticked
// does not make another statement.
std::string statementShape(const std::string& sql);

}  // namespace erpsync::test
