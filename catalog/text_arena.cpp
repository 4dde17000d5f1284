#include "catalog/text_arena.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace tallowin {

TextArena::Ref TextArena::Store(std::u16string_view text) {
  if (text.empty()) return {};
  const auto length = static_cast<std::uint32_t>(text.size());
  // A long text gets a chunk of its own, so chunks stay small.
  if (text.size() > kChunkUnits / 4) {
    void* own = std::malloc(text.size() * sizeof(char16_t));
    if (own == nullptr) throw std::bad_alloc();
    chunks_.emplace_back(own);
    std::copy(text.begin(), text.end(), static_cast<char16_t*>(own));
    return {static_cast<std::uint32_t>(chunks_.size() - 1), 0, length};
  }
  if (used_ + text.size() > kChunkUnits) {
    chunks_.push_back(AllocateChunk(!chunks_.empty()));
    current_ = static_cast<std::uint32_t>(chunks_.size() - 1);
    used_ = 0;
  }
  std::copy(text.begin(), text.end(), static_cast<char16_t*>(chunks_[current_].get()) + used_);
  const Ref ref{current_, static_cast<std::uint32_t>(used_), length};
  used_ += text.size();
  return ref;
}

void TextArena::Clear() {
  chunks_.clear();
  current_ = 0;
  used_ = kChunkUnits;
}

}  // namespace tallowin
