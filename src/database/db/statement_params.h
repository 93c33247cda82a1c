// Values that travel beside a statement's text instead of inside it. A statement names each value
// (@v12) and the values come as a list, so many calls share one statement text: SQL Server compiles
// the text once and keeps one plan for it, where a text holding its values is a new text, compiled
// again, every time.
#pragma once

#include <string>
#include <vector>

namespace erpsync::db {

struct Param {
  std::string name;     // as the statement names it: "@v12"
  std::string type;     // its T-SQL type, as a declaration writes it: "varchar(50)", "numeric(18,2)"
  std::string literal;  // its value as a T-SQL literal: 'S-1', N'Zoë', 12.5, '2026-12-08T00:00:00.000', NULL
};

// The statement with every parameter its text names replaced by the parameter's literal, for a server
// that takes no parameters. A number is written as quoted text ('12.5', converted where it is used),
// so two calls of one statement differ only inside quotes, whatever their values. Names inside
// string literals, bracketed names and comments are left alone; a name no parameter has stays.
std::string inlineParams(const std::string& sql, const std::vector<Param>& params);

// The call of sp_executesql that runs the statement with these parameters:
// EXEC sp_executesql N'<statement>', N'@v1 varchar(50), ...', @v1 = 'S-1', ...
std::string executeSqlCall(const std::string& sql, const std::vector<Param>& params);

// How many parameters one call of SQL Server's procedures takes at most.
inline constexpr std::size_t kMaxServerParams = 2100;

}  // namespace erpsync::db
