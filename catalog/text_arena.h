// Append-only storage for many short UTF-16 texts. Texts are packed into
// large chunks (no per-text allocation, and growth never copies what is
// stored), which keeps a catalogue of millions of names small.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tallowin {

class TextArena {
 public:
  struct Ref {
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };

  Ref Store(std::u16string_view text);
  std::u16string_view View(Ref ref) const {
    return ref.length == 0 ? std::u16string_view{}
                           : std::u16string_view(chunks_[ref.chunk].get() + ref.offset, ref.length);
  }
  void Clear();

 private:
  static constexpr std::size_t kChunkUnits = std::size_t{1} << 16;
  std::vector<std::unique_ptr<char16_t[]>> chunks_;
  std::uint32_t current_ = 0;          // the chunk that short texts go to
  std::size_t used_ = kChunkUnits;     // units used in it; full before the first text
};

// A vector that grows in fixed chunks: elements never move, and growing never
// needs room for two copies at once.
template <typename T, std::size_t kChunkSize = 16384>
class ChunkedVector {
 public:
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return chunks_[i / kChunkSize][i % kChunkSize]; }
  const T& operator[](std::size_t i) const { return chunks_[i / kChunkSize][i % kChunkSize]; }
  void push_back(const T& value) {
    // Not value-initialised: every element is assigned before it is read,
    // and zeroing a chunk up front costs a pass over its memory.
    if (size_ % kChunkSize == 0) chunks_.push_back(std::make_unique_for_overwrite<T[]>(kChunkSize));
    (*this)[size_++] = value;
  }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace tallowin
