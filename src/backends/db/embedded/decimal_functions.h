// The SQLite side of exact numerics: functions, aggregates and the TSQLDEC collation through which
// numeric/decimal/money values kept as decimal text are added, compared and summed.
#pragma once

struct sqlite3;

namespace erpsync::db::embedded {

// tsql_dadd/dsub/dmul/ddiv(x, y, scale), tsql_dcmp(x, y), tsql_dabs(x), tsql_dround(x, places,
// truncate), the aggregates tsql_dsum/davg/dmin/dmax(x) and the collation TSQLDEC.
void registerDecimalFunctions(sqlite3* db);

}  // namespace erpsync::db::embedded
