// Where the scan met FILE blocks, in scan order: a file that the set's
// catalogue names is taken from the catalogue only when no FILE block was
// met at its place. Four bytes a block for any file below 2 TiB.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/mtf_block.h"

namespace tallowin {

class FileBlockPositions {
 public:
  // Positions come in rising order, each a multiple of the block size.
  void Add(std::uint64_t position) {
    const std::uint64_t block = position / kBlockSize;
    if (block <= UINT32_MAX && far_.empty()) {
      near_.push_back(static_cast<std::uint32_t>(block));
    } else {
      far_.push_back(position);
    }
  }

  bool Contains(std::uint64_t position) const {
    if (position % kBlockSize != 0) return false;
    const std::uint64_t block = position / kBlockSize;
    if (block <= UINT32_MAX && std::binary_search(near_.begin(), near_.end(), static_cast<std::uint32_t>(block))) {
      return true;
    }
    return std::binary_search(far_.begin(), far_.end(), position);
  }

 private:
  std::vector<std::uint32_t> near_;  // block numbers
  std::vector<std::uint64_t> far_;   // positions of the rest
};

}  // namespace tallowin
