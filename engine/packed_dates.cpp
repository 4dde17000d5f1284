#include "engine/packed_dates.h"

#include <cstring>
#include <limits>

#include "catalog/file_time.h"

namespace tallowin {
namespace {

constexpr std::size_t kPackedSize = 5;
constexpr FileTime kNoDay = std::numeric_limits<FileTime>::max();
constexpr FileTime kTicksPerSecond = 10'000'000;

}  // namespace

FileTime PackedDates::Decode(Bytes block, std::size_t offset) {
  if (offset > block.size() || block.size() - offset < kPackedSize) return DecodeMtfDate(block, offset);
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data()) + offset;
  std::uint64_t packed = 0;
  std::memcpy(&packed, bytes, kPackedSize);
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    if (packed_[slot] == packed) return times_[slot];
  }
  // Year (14 bits), month (4) and day (5) lie in the first 23 bits.
  const std::uint32_t day = (static_cast<std::uint32_t>(bytes[0]) << 15 | static_cast<std::uint32_t>(bytes[1]) << 7 |
                             static_cast<std::uint32_t>(bytes[2]) >> 1);
  const std::size_t daySlot = (day * 2654435761u) >> 23 & (kDays - 1);
  if (dayKeys_[daySlot] != day + 1) {
    const int year = static_cast<int>(day >> 9), month = static_cast<int>(day >> 5 & 15),
              dayOfMonth = static_cast<int>(day & 31);
    dayKeys_[daySlot] = day + 1;
    dayStarts_[daySlot] = FileTimeFromCalendar({year, month, dayOfMonth, 0, 0, 0, 0}).value_or(kNoDay);
  }
  const unsigned hour = (bytes[2] & 1u) << 4 | bytes[3] >> 4;
  const unsigned minute = (bytes[3] & 15u) << 2 | bytes[4] >> 6;
  const unsigned second = bytes[4] & 63u;
  FileTime time = 0;
  if (dayStarts_[daySlot] != kNoDay && hour <= 23 && minute <= 59 && second <= 59) {
    time = dayStarts_[daySlot] + ((hour * 60 + minute) * 60 + second) * kTicksPerSecond;
  }
  const std::size_t slot = next_++ % kSlots;
  packed_[slot] = packed;
  times_[slot] = time;
  return time;
}

}  // namespace tallowin
