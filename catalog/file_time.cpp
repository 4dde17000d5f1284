#include "catalog/file_time.h"

#include <cstdio>

namespace tallowin {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// Days from 0000-03-01, where the era arithmetic below counts from, to 1601-01-01.
constexpr std::int64_t kDays0000To1601 = 584'694;

bool IsLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(std::int64_t year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysSince1601(std::int64_t year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = y / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - kDays0000To1601;
}

}  // namespace

std::optional<FileTime> FileTimeFromCalendar(const CalendarTime& t) {
  if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59 || t.ticks >= kTicksPerSecond) {
    return std::nullopt;
  }
  const std::int64_t seconds =
      ((DaysSince1601(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
  return static_cast<FileTime>(seconds) * kTicksPerSecond + t.ticks;
}

CalendarTime CalendarFromFileTime(FileTime time) {
  CalendarTime t;
  t.ticks = static_cast<std::uint32_t>(time % kTicksPerSecond);
  const auto seconds = static_cast<std::int64_t>(time / kTicksPerSecond);
  const std::int64_t secondOfDay = seconds % kSecondsPerDay;
  t.hour = static_cast<int>(secondOfDay / 3600);
  t.minute = static_cast<int>(secondOfDay / 60 % 60);
  t.second = static_cast<int>(secondOfDay % 60);
  // The civil date of a day count, counting eras of 400 years from 0000-03-01.
  const std::int64_t days = seconds / kSecondsPerDay + kDays0000To1601;
  const std::int64_t era = days / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  t.year = yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0);
  return t;
}

std::string FormatIso8601(FileTime time) {
  const CalendarTime t = CalendarFromFileTime(time);
  // Written digit by digit: a listing writes three for every row.
  std::string text = std::to_string(t.year);
  if (text.size() < 4) text.insert(0, 4 - text.size(), '0');
  const auto two = [&](char separator, int value) {
    text += separator;
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
  };
  two('-', t.month);
  two('-', t.day);
  two('T', t.hour);
  two(':', t.minute);
  two(':', t.second);
  if (t.ticks != 0) {
    text += '.';
    for (std::uint32_t unit = 1'000'000; unit > 0; unit /= 10) text += static_cast<char>('0' + t.ticks / unit % 10);
  }
  text += 'Z';
  return text;
}

std::u16string FormatListDate(FileTime time) {
  const CalendarTime t = CalendarFromFileTime(time);
  char text[48];
  const int length = std::snprintf(text, sizeof text, "%02d/%02d/%lld %02d:%02d:%02d", t.month, t.day,
                                   static_cast<long long>(t.year), t.hour, t.minute, t.second);
  return std::u16string(text, text + length);
}

}  // namespace tallowin
