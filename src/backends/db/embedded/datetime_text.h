// Date-time texts as SQL Server (us_english, mdy) reads and writes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/value.h"

namespace erpsync::db::embedded {

enum class DateOrder { MDY, DMY, YMD };

// Reads a date and/or time text the way SQL Server converts character data to datetime:
// "06/Dec/2026", "12-May-2020", "6 Dec 2026", "Dec  6 2026 10:15AM", "12/06/2026" (month first),
// "2026-12-06", "20261206", each optionally followed by a time ("10:15", "10:15:07 PM",
// "10:15:07.123"). A time alone falls on 1900-01-01; an empty or blank text is 1900-01-01 00:00.
std::optional<DateTime> parseDateText(std::string_view text, DateOrder order = DateOrder::MDY);

// CONVERT(varchar, datetime, style) for the styles the system uses (0/100 default, 1, 3, 101, 103,
// 105, 106, 108, 110, 111, 112, 113, 114, 120, 121, 126, 23). Unknown styles give the default form.
std::string formatDateStyle(const DateTime& t, int style);

// DATEADD by months: the day is kept, or the month's last day when the month is shorter. Nullopt
// when the result falls outside the years 1 to 9999.
std::optional<DateTime> addMonths(const DateTime& t, long long months);

}  // namespace erpsync::db::embedded
