// Packed MTF dates as a scan meets them: a file's access date is often its
// modification date, and files share dates (and above all days) with those
// before them, so the last few dates and many days are kept decoded. Gives
// exactly what DecodeMtfDate gives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalog/number_text.h"
#include "engine/mtf_block.h"

namespace tallowin {

class PackedDates {
 public:
  FileTime Decode(Bytes block, std::size_t offset);

 private:
  static constexpr std::size_t kSlots = 4;
  static constexpr std::size_t kDays = 512;
  // Whole packed dates, never five bytes' worth when empty.
  std::array<std::uint64_t, kSlots> packed_ = {UINT64_MAX, UINT64_MAX, UINT64_MAX, UINT64_MAX};
  std::array<FileTime, kSlots> times_{};
  std::size_t next_ = 0;
  // The start of each day seen, by its year, month and day bits (plus one,
  // so that 0 is an empty slot); UINT64_MAX for a day that is no date.
  std::array<std::uint32_t, kDays> dayKeys_{};
  std::array<FileTime, kDays> dayStarts_{};
};

}  // namespace tallowin
