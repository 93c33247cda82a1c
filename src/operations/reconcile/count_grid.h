// The side-by-side count grids: the same counting query on the branch and at head office, the branch
// counts first, then the "Onlinedata" row, the central counts written beside them by position, and
// every differing row marked red (a mark the mismatch tools read back).
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;
namespace form {
class Grid;
}

// The colour of a red mark in column 0 of a count row.
inline constexpr unsigned kMismatchColor = 255;

// Fills grid from query (columns Property, Nos) run on both sides. With mismatchColumn, column 3 of
// each central row says "Yes" or "No". Returns the number of rows that differ. Throws db::DbError; the
// grid keeps what was written before the error.
int FillCountGrid(SyncContext& ctx, form::Grid& grid, const std::string& header, int cols, const std::string& query,
                  bool mismatchColumn);

}  // namespace erpsync
