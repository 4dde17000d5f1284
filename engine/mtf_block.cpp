#include "engine/mtf_block.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tallowin {
namespace {


std::uint8_t ByteAt(Bytes bytes, std::size_t offset) {
  return offset < bytes.size() ? std::to_integer<std::uint8_t>(bytes[offset]) : 0;
}

bool IdAt(Bytes bytes, std::size_t offset, const char* id) {
  return offset + 4 <= bytes.size() && std::memcmp(bytes.data() + offset, id, 4) == 0;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysSince1601(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = y / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  constexpr std::int64_t kDays0000To1601 = 584694;  // 0000-03-01 to 1601-01-01
  return era * 146097 + dayOfEra - kDays0000To1601;
}

}  // namespace

std::uint16_t ReadU16(Bytes bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(ByteAt(bytes, offset) | (ByteAt(bytes, offset + 1) << 8));
}

std::uint64_t ReadU64(Bytes bytes, std::size_t offset) {
  std::uint64_t value = 0;
  for (std::size_t i = 8; i-- > 0;) value = (value << 8) | ByteAt(bytes, offset + i);
  return value;
}

FileTime DecodeMtfDate(Bytes block, std::size_t offset) {
  const unsigned b0 = ByteAt(block, offset), b1 = ByteAt(block, offset + 1),
                 b2 = ByteAt(block, offset + 2), b3 = ByteAt(block, offset + 3),
                 b4 = ByteAt(block, offset + 4);
  const int year = static_cast<int>((b0 << 6) | (b1 >> 2));
  const int month = static_cast<int>(((b1 & 3) << 2) | (b2 >> 6));
  const int day = static_cast<int>((b2 >> 1) & 31);
  const int hour = static_cast<int>(((b2 & 1) << 4) | (b3 >> 4));
  const int minute = static_cast<int>(((b3 & 15) << 2) | (b4 >> 6));
  const int second = static_cast<int>(b4 & 63);
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour > 23 || minute > 59 || second > 59) {
    return 0;
  }
  const std::int64_t seconds =
      ((DaysSince1601(year, month, day) * 24 + hour) * 60 + minute) * 60 + second;
  return static_cast<FileTime>(seconds) * 10'000'000;
}

std::u16string ReadMtfString(Bytes block, std::uint16_t size, std::uint16_t offset,
                             std::size_t limit) {
  if (std::size_t{offset} + size > block.size()) return {};
  const std::size_t units = std::min<std::size_t>(size / 2, limit);
  // The whole field lies within the block (checked above), so the units are
  // read without a bounds check per byte.
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data()) + offset;
  std::u16string text(units, u'\0');
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    text[i] = unit == 0 ? u'\\' : unit;
  }
  return text;
}

std::optional<std::size_t> FindDataStream(Bytes block, std::size_t limit) {
  const std::size_t end = std::min(limit, block.size() < 4 ? 0 : block.size() - 3);
  // memchr finds the candidates: a scan of many small files spends much of
  // its time here, and comparing at every byte was several times slower.
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  for (std::size_t j = 0; j < end; ++j) {
    const void* candidate = std::memchr(bytes + j, 'S', end - j);
    if (candidate == nullptr) break;
    j = static_cast<std::size_t>(static_cast<const unsigned char*>(candidate) - bytes);
    if (IdAt(block, j, "STAN")) {
      if (j + mtf::kStreamHeaderSize > block.size()) return std::nullopt;
      return j;
    }
  }
  return std::nullopt;
}

}  // namespace tallowin
