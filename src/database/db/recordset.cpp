// A fully read, static, read-only query result.
#include "db/recordset.h"

#include "db/db_error.h"
#include "util/text.h"

namespace erpsync::db {

bool isTextType(int t) {
  return t == adChar || t == adVarChar || t == adLongVarChar || t == adWChar || t == adVarWChar || t == adLongVarWChar;
}
bool isDateType(int t) {
  return t == adDate || t == adDBTimeStamp;
}
bool isNumericType(int t) {
  return t == adSmallInt || t == adInteger || t == adSingle || t == adDouble || t == adCurrency || t == adDecimal ||
         t == adTinyInt || t == adBigInt || t == adNumeric;
}

int Recordset::fieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (text::iequals(fields[i].name, name)) return static_cast<int>(i);
  return -1;
}

const Value& Recordset::at(std::size_t row, std::string_view name) const {
  int i = fieldIndex(name);
  if (i < 0)
    throw DbError("Item cannot be found in the collection corresponding to the requested name or ordinal. (" +
                  std::string(name) + ")");
  return rows.at(row).at(static_cast<std::size_t>(i));
}

}  // namespace erpsync::db
