// A fully read, static, read-only query result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/value.h"

namespace erpsync::db {

// ADO data type codes: the copy builders classify values by them, so both backends report them.
enum AdType : int {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adCurrency = 6,
  adDate = 7,
  adBoolean = 11,
  adDecimal = 14,
  adTinyInt = 16,
  adBigInt = 20,
  adBinary = 128,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
  adVarBinary = 204,
};

bool isTextType(int type);
bool isDateType(int type);
bool isNumericType(int type);

struct Field {
  std::string name;
  int type = adVarChar;
  // The server's own type as declared ("numeric(18,2)", "nvarchar(50)", "money"), where the backend
  // knows it; empty otherwise. What a wire protocol endpoint needs to describe the column exactly.
  std::string declared;
};

class Recordset {
 public:
  std::vector<Field> fields;
  std::vector<std::vector<Value>> rows;

  bool empty() const { return rows.empty(); }
  std::size_t size() const { return rows.size(); }
  // Column index by name, ignoring case; -1 when there is no such column.
  int fieldIndex(std::string_view name) const;
  // Cell by row and column name (ignoring case); throws DbError naming the column when missing.
  const Value& at(std::size_t row, std::string_view name) const;
  const Value& at(std::size_t row, std::size_t column) const { return rows.at(row).at(column); }
};

}  // namespace erpsync::db
