// Append-only storage for many short UTF-16 texts. Texts are packed into
// large chunks (no per-text allocation, and growth never copies what is
// stored), which keeps a catalogue of millions of names small.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <string_view>
#include <vector>

#include "catalog/chunk_memory.h"

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
                           : std::u16string_view(static_cast<const char16_t*>(chunks_[ref.chunk].get()) + ref.offset, ref.length);
  }
  void Clear();

 private:
  static constexpr std::size_t kChunkUnits = kChunkBytes / sizeof(char16_t);
  // Chunks of kChunkUnits, or single long texts.
  std::vector<ChunkPtr> chunks_;
  std::uint32_t current_ = 0;          // the chunk that short texts go to
  std::size_t used_ = kChunkUnits;     // units used in it; full before the first text
};

// A vector of plain records that grows in fixed chunks: elements never move,
// and growing never needs room for two copies at once.
template <typename T>
class ChunkedVector {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
  static constexpr std::size_t kChunkSize = kChunkBytes / sizeof(T);

 public:
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return Chunk(i / kChunkSize)[i % kChunkSize]; }
  const T& operator[](std::size_t i) const { return Chunk(i / kChunkSize)[i % kChunkSize]; }
  void push_back(const T& value) {
    if (size_ % kChunkSize == 0) chunks_.push_back(AllocateChunk(!chunks_.empty()));
    std::construct_at(&(*this)[size_], value);
    ++size_;
  }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }

 private:
  T* Chunk(std::size_t index) const { return static_cast<T*>(chunks_[index].get()); }

  std::vector<ChunkPtr> chunks_;
  std::size_t size_ = 0;
};

}  // namespace tallowin
