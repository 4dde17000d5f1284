// File times (100-nanosecond intervals since 1601-01-01 00:00) and calendar
// times, with no time-zone shift: a stored time is taken as the time itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalog/number_text.h"

namespace tallowin {

struct CalendarTime {
  std::int64_t year = 1601;
  int month = 1, day = 1, hour = 0, minute = 0, second = 0;
  std::uint32_t ticks = 0;  // 100-nanosecond intervals within the second
};

// Nothing when the fields do not form a valid time between the years 1601
// and 30827.
std::optional<FileTime> FileTimeFromCalendar(const CalendarTime& time);
CalendarTime CalendarFromFileTime(FileTime time);

// "2007-05-12T14:30:45Z", with a fraction only when the time has one.
std::string FormatIso8601(FileTime time);
// "03/14/2005 09:05:03": month, day, year, hour, minute, second; the form
// of the file list's date columns.
std::u16string FormatListDate(FileTime time);

}  // namespace tallowin
