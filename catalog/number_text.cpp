#include "catalog/number_text.h"

#include <charconv>
#include <limits>

namespace tallowin {
namespace {

std::u16string Widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

template <typename Integer>
std::u16string FormatDecimal(Integer value) {
  char digits[24];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
  return Widen({digits, end});
}

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

std::u16string FormatInt64(std::int64_t value) { return FormatDecimal(value); }

std::u16string FormatUInt64(std::uint64_t value) { return FormatDecimal(value); }

bool IsNumberText(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  const std::size_t digits = i;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
  if (i == digits) return false;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i == text.size();
}

std::int64_t ParseInt64(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Accumulate as a negative number so that the minimum value fits.
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t accumulated = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    const int digit = text[i] - u'0';
    if (accumulated < (kMin + digit) / 10) {
      overflow = true;
      continue;
    }
    accumulated = accumulated * 10 - digit;
  }
  if (overflow) return negative ? kMin : kMax;
  if (negative) return accumulated;
  return accumulated == kMin ? kMax : -accumulated;
}

std::u16string FormatLowHalf(std::uint32_t half) { return FormatDecimal(half); }

std::u16string FormatHighHalf(std::uint32_t half) {
  return FormatDecimal(static_cast<std::int32_t>(half));
}

FileTime JoinFileTime(std::u16string_view lowText, std::u16string_view highText) {
  const auto half = [](std::u16string_view text) -> std::uint64_t {
    const std::int64_t value = ParseInt64(text);
    return value < 0 ? 0 : static_cast<std::uint32_t>(value);
  };
  return (half(highText) << 32) | half(lowText);
}

// In one pass: "0", or an optional "-" and digits without a leading zero,
// within the 64-bit range ("-0" is not what FormatInt64 writes).
bool ParseCanonicalInt64(std::u16string_view text, std::int64_t& value) {
  const bool negative = !text.empty() && text.front() == u'-';
  const std::u16string_view digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > 19 || (digits.front() == u'0' && (digits.size() > 1 || negative))) {
    return false;
  }
  std::uint64_t magnitude = 0;
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') return false;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (magnitude > kMax + (negative ? 1 : 0)) return false;
  value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

bool ParseCanonicalLowHalf(std::u16string_view text, std::uint32_t& half) {
  std::int64_t parsed = 0;
  if (!ParseCanonicalInt64(text, parsed) || parsed < 0 ||
      parsed > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  half = static_cast<std::uint32_t>(parsed);
  return true;
}

bool ParseCanonicalHighHalf(std::u16string_view text, std::uint32_t& half) {
  std::int64_t parsed = 0;
  if (!ParseCanonicalInt64(text, parsed) || parsed < std::numeric_limits<std::int32_t>::min() ||
      parsed > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  half = static_cast<std::uint32_t>(static_cast<std::int32_t>(parsed));
  return true;
}

}  // namespace tallowin
