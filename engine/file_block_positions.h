// Where the scan met FILE blocks, in scan order: a file that the set's
// catalogue names is taken from the catalogue only when no FILE block was
// met at its place. Blocks are kept by 32 MiB stretch of the file: a short
// sorted list of two-byte offsets where FILE blocks are few, a bitmap where
// they are many, so a million small files cost about a quarter of a
// megabyte and no stretch costs over 8 KiB.
#pragma once

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/mtf_block.h"

namespace tallowin {

class FileBlockPositions {
 public:
  // Positions come in rising order, each a multiple of the block size.
  void Add(std::uint64_t position) {
    const std::uint64_t block = position / kBlockSize;
    const std::uint64_t stretch = block >> kStretchBits;
    if (stretches_.empty() || stretches_.back().index != stretch) stretches_.push_back({stretch, {}, nullptr});
    Stretch& last = stretches_.back();
    const auto offset = static_cast<std::uint16_t>(block & kOffsetMask);
    if (last.bitmap) {
      last.bitmap->set(offset);
      return;
    }
    last.offsets.push_back(offset);
    if (last.offsets.size() > kListLimit) {
      last.bitmap = std::make_unique<Bitmap>();
      for (const std::uint16_t each : last.offsets) last.bitmap->set(each);
      std::vector<std::uint16_t>().swap(last.offsets);
    }
  }

  bool Contains(std::uint64_t position) const {
    if (position % kBlockSize != 0) return false;
    const std::uint64_t block = position / kBlockSize;
    const auto found = std::lower_bound(stretches_.begin(), stretches_.end(), block >> kStretchBits,
                                        [](const Stretch& stretch, std::uint64_t index) { return stretch.index < index; });
    if (found == stretches_.end() || found->index != block >> kStretchBits) return false;
    const auto offset = static_cast<std::uint16_t>(block & kOffsetMask);
    if (found->bitmap) return found->bitmap->test(offset);
    return std::binary_search(found->offsets.begin(), found->offsets.end(), offset);
  }

 private:
  static constexpr unsigned kStretchBits = 16;
  static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kStretchBits) - 1;
  // A bitmap costs as much as this many offsets.
  static constexpr std::size_t kListLimit = (std::size_t{1} << kStretchBits) / 16;
  using Bitmap = std::bitset<std::size_t{1} << kStretchBits>;

  struct Stretch {
    std::uint64_t index;
    std::vector<std::uint16_t> offsets;  // sorted, while they are few
    std::unique_ptr<Bitmap> bitmap;      // once they are many
  };
  std::vector<Stretch> stretches_;
};

}  // namespace tallowin
