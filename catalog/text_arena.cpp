#include "catalog/text_arena.h"

#include <algorithm>

namespace tallowin {

TextArena::Ref TextArena::Store(std::u16string_view text) {
  if (text.empty()) return {};
  const auto length = static_cast<std::uint32_t>(text.size());
  // A long text gets a chunk of its own, so chunks stay small.
  if (text.size() > kChunkUnits / 4) {
    chunks_.push_back(std::make_unique_for_overwrite<char16_t[]>(text.size()));
    std::copy(text.begin(), text.end(), chunks_.back().get());
    return {static_cast<std::uint32_t>(chunks_.size() - 1), 0, length};
  }
  if (used_ + text.size() > kChunkUnits) {
    chunks_.push_back(std::make_unique_for_overwrite<char16_t[]>(kChunkUnits));
    current_ = static_cast<std::uint32_t>(chunks_.size() - 1);
    used_ = 0;
  }
  std::copy(text.begin(), text.end(), chunks_[current_].get() + used_);
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
