// Decimal text forms of the numbers kept in catalogue cells and snapshots.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tallowin {

// A 64-bit count of 100-nanosecond intervals since 1601-01-01 00:00.
using FileTime = std::uint64_t;

// Base 10, a leading "-" for negative values, no padding or grouping.
std::u16string FormatInt64(std::int64_t value);

// Unsigned counters (set numbers, positions) in the same form.
std::u16string FormatUInt64(std::uint64_t value);

// Leading white space and one sign allowed; parsing stops at the first
// non-digit; no digits give 0; values beyond the 64-bit range saturate.
std::int64_t ParseInt64(std::u16string_view text);

// True when `text` is a whole number as ParseInt64 reads one: white space,
// one sign, at least one digit, and nothing after the digits but white space.
bool IsNumberText(std::u16string_view text);

// Each half parsed with ParseInt64; a negative half counts as 0 and the low
// 32 bits of each half are used.
FileTime JoinFileTime(std::u16string_view lowText, std::u16string_view highText);

// The text form of a file-time half as its cell stores it: the low half as
// unsigned 32-bit decimal, the high half as signed 32-bit decimal (a high
// half of 0x80000000 or more is written negative).
std::u16string FormatLowHalf(std::uint32_t half);
std::u16string FormatHighHalf(std::uint32_t half);

// Exact inverses of the formatters above: the value when `text` is precisely
// what the formatter would write for it, nothing otherwise.
bool ParseCanonicalInt64(std::u16string_view text, std::int64_t& value);
bool ParseCanonicalLowHalf(std::u16string_view text, std::uint32_t& half);
bool ParseCanonicalHighHalf(std::u16string_view text, std::uint32_t& half);

}  // namespace tallowin
