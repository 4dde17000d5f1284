// Append-only storage for many short UTF-16 texts. Texts are packed into
// large chunks (no per-text allocation, and growth never copies what is
// stored), which keeps a catalogue of millions of names small. A text whose
// code units all lie below 0x100, as most file names do, takes one byte a
// unit.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/chunk_memory.h"

namespace tallowin {

class TextArena {
 public:
  struct Ref {
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;  // in bytes
    std::uint32_t length = 0;  // in units, with kNarrow for one byte a unit
  };

  Ref Store(std::u16string_view text);
  // Appends the text of `ref` to `out`.
  void AppendTo(std::u16string& out, Ref ref) const;
  void Clear();

 private:
  static constexpr std::uint32_t kNarrow = 0x8000'0000;
  // Chunks of kChunkBytes, or single long texts.
  std::vector<ChunkPtr> chunks_;
  std::uint32_t current_ = 0;          // the chunk that short texts go to
  std::size_t used_ = kChunkBytes;     // bytes used in it; full before the first text
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
