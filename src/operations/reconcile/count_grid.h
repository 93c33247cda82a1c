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
// Amber (red in the lowest byte, then green): a row whose difference is only vouchers still waiting to
// go up. The mismatch tools do not take it for a mismatch.
inline constexpr unsigned kWaitingColor = 0x00BFFF;

// Fills grid from query (columns Property, Nos) run on both sides. With mismatchColumn, column 3 of
// each central row says "Yes", "No", or "Waiting" when waitingQuery (the same counts of the branch's
// vouchers not yet uploaded, "" for none) accounts for the whole difference. Returns the number of rows
// that differ and are not merely waiting. Throws db::DbError; the grid keeps what was written before the
// error.
int FillCountGrid(SyncContext& ctx, form::Grid& grid, const std::string& header, int cols, const std::string& query,
                  bool mismatchColumn, const std::string& waitingQuery = {});

}  // namespace erpsync
