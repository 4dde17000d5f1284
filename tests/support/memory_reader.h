// A BkfReader over bytes in memory, with the failures that tests inject.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "engine/bkf_file.h"

namespace tallowin::test {

class MemoryReader : public BkfReader {
 public:
  explicit MemoryReader(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}

  std::uint64_t GetSize() const override { return reportedSize_.value_or(bytes_.size()); }
  std::size_t ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override {
    ++reads_;
    std::size_t count = buffer.size();
    if (limitRead) count = std::min(count, limitRead(offset, count));
    if (offset >= bytes_.size()) return 0;
    count = std::min<std::size_t>(count, bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
    return count;
  }

  // Pretends the file is this long (a file that shrank after its size was read).
  void ReportSize(std::uint64_t size) { reportedSize_ = size; }
  // Given offset and count, how many bytes the read may fill.
  std::function<std::size_t(std::uint64_t, std::size_t)> limitRead;
  int Reads() const { return reads_; }

 private:
  std::vector<std::byte> bytes_;
  std::optional<std::uint64_t> reportedSize_;
  std::atomic<int> reads_{0};  // the scan reads ahead on a thread of its own
};

}  // namespace tallowin::test
