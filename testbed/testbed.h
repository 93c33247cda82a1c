// The ERP's side of the world for the demo and the tests: embedded servers with company databases.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace erpsync::testbed {

// The testbed's T-SQL files (name, text), compiled into the binary.
const std::vector<std::pair<std::string_view, std::string_view>>& embeddedSqlFiles();

}  // namespace erpsync::testbed
