// Reads the scan's 64 KiB windows. Where several whole windows lie ahead it
// reads them with one call, which saves most of the cost of the calls
// themselves; where such a read comes back short, each window it did not
// fill is read again on its own. So every window holds exactly what a read
// of that window alone gives, and a failed or short read never shows bytes
// of an earlier window.
//
// Where the scan has much work on each window (many small files), the next
// read is made on a thread of its own while the scan examines the current
// one: the system's copy of the bytes and the scan's work take two cores.
// Where it has little (large files), the bytes are read on the scan's own
// core, in whose cache they then are: a second core would only slow it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>

#include "engine/bkf_file.h"
#include "engine/mtf_block.h"

namespace tallowin {

class WindowReader {
 public:
  static constexpr std::size_t kWindowSize = 65536;
  static constexpr std::size_t kWindowsPerRead = 16;

  // `end` is where the whole windows of `file` stop.
  WindowReader(BkfReader& file, std::uint64_t end);
  WindowReader(const WindowReader&) = delete;
  WindowReader& operator=(const WindowReader&) = delete;

  // The window at `position`, a multiple of 64 KiB with `end` - `position` at
  // least 64 KiB, asked for in rising order. The bytes the read did not
  // fill are zero in the buffer but not part of the result. `busy`: the
  // scan has much work on the windows now, so the next read goes ahead.
  Bytes Window(std::uint64_t position, bool busy);
  // `count` bytes at `position` read on their own (the last, partial window).
  Bytes Part(std::uint64_t position, std::size_t count);

 private:
  struct alignas(4096) Buffer {
    std::byte bytes[kWindowSize * kWindowsPerRead];
  };
  // Whole windows read with one call.
  struct Batch {
    std::unique_ptr<Buffer> buffer = std::make_unique<Buffer>();
    std::uint64_t start = 0;
    std::size_t asked = 0;  // bytes of whole windows asked for
    std::size_t valid = 0;  // bytes of whole windows it holds
  };

  void Fill(Batch& batch, std::uint64_t position);
  Bytes ReadAlone(std::uint64_t position, std::span<std::byte> into);
  // The read-ahead thread's work: the batch it is asked for, until stopped.
  void ReadAhead(std::stop_token stop);
  void AskAhead(std::uint64_t position);
  // Waits until no read into `ahead_` runs.
  void WaitForAhead(std::unique_lock<std::mutex>& lock);

  BkfReader& file_;
  std::uint64_t end_;
  Batch current_;
  Batch ahead_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::optional<std::uint64_t> request_;  // a read into `ahead_` asked for or running
  // Only on a file long enough to gain from it; stopped and joined first.
  std::jthread reader_;
};

}  // namespace tallowin
