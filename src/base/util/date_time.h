// A calendar date and time of day, as SQL Server's datetime holds it. Used by every layer: the
// database values, the clock and the date picker of the window.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace erpsync {

// A calendar date and time of day to the millisecond, as SQL Server's datetime holds it.
struct DateTime {
  int year = 1900;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  auto operator<=>(const DateTime&) const = default;

  // Canonical text "YYYY-MM-DD HH:MM:SS.mmm" (what the embedded server stores).
  std::string iso() const;
  // Reads the canonical text and its shorter ISO forms ("YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]",
  // with 'T' accepted in place of the blank).
  static std::optional<DateTime> fromIso(std::string_view text);
  // Days since 1900-01-01 (SQL Server's day zero), for date arithmetic.
  long long dayNumber() const;
  static DateTime fromDayNumber(long long days);
  // Seconds since 1900-01-01 00:00:00, ignoring milliseconds.
  long long totalSeconds() const;
  static DateTime fromTotalSeconds(long long seconds);
  DateTime dateOnly() const { return DateTime{year, month, day}; }
  bool valid() const;
};

}  // namespace erpsync
