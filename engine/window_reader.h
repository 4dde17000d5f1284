// Reads the scan's 64 KiB windows. Where several whole windows lie ahead it
// reads them with one call, which saves most of the cost of the calls
// themselves; where such a read comes back short, each window it did not
// fill is read again on its own. So every window holds exactly what a read
// of that window alone gives, and a failed or short read never shows bytes
// of an earlier window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "engine/bkf_file.h"
#include "engine/mtf_block.h"

namespace tallowin {

class WindowReader {
 public:
  static constexpr std::size_t kWindowSize = 65536;
  static constexpr std::size_t kWindowsPerRead = 16;

  WindowReader();

  // The window at `position`, a multiple of 64 KiB with `end` - `position` at
  // least 64 KiB; `end` is where whole windows stop. The bytes the read did
  // not fill are zero in the buffer but not part of the result.
  Bytes Window(BkfReader& file, std::uint64_t position, std::uint64_t end);
  // `count` bytes at `position` read on their own (the last, partial window).
  Bytes Part(BkfReader& file, std::uint64_t position, std::size_t count);

 private:
  Bytes ReadInto(BkfReader& file, std::uint64_t position, std::span<std::byte> into);

  struct alignas(4096) Buffer {
    std::byte bytes[kWindowSize * kWindowsPerRead];
  };
  std::unique_ptr<Buffer> buffer_;
  std::uint64_t start_ = 0;  // where the buffer's whole windows begin
  std::uint64_t valid_ = 0;  // how many bytes of whole windows it holds
};

}  // namespace tallowin
