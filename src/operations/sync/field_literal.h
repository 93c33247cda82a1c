// How the copy builders write one field of a source row into a literal INSERT statement.
#pragma once

#include <string>

#include "db/value.h"

namespace erpsync::sync {

// The rendering class of a field type code: 0 text, 3 date-time, 1 everything else.
int FieldTypeClass(int typeCode);

// The literal for a value of a field of the given type code, so that the target server stores exactly
// the value the source holds:
// - text (char, varchar, text): quoted with quotes doubled; NULL as a quoted blank (the ERP expects a
//   blank where the branch copy has no text);
// - Unicode text (nchar, nvarchar, ntext): N'...' with quotes doubled; NULL as a quoted blank;
// - date-time: 'yyyy-mm-ddThh:mm:ss.mmm', which SQL Server reads alike under every language and
//   DATEFORMAT; NULL as NULL (a blank would be read as 1900-01-01);
// - bit: 1 or 0 (a text "True"/"False" too); NULL as 0;
// - unique identifier: quoted; binary: 0x hex; NULL as NULL;
// - numbers: written exactly (exact decimals without trailing zeros, integers in full, floats in the
//   shortest text that reads back to the same double); NULL as 0.
std::string FieldLiteral(const db::Value& value, int typeCode);

}  // namespace erpsync::sync
