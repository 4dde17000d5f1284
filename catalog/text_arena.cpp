#include "catalog/text_arena.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tallowin {

TextArena::Ref TextArena::Store(std::u16string_view text) {
  if (text.empty()) return {};
  if (text.size() >= kNarrow) throw std::bad_alloc();
  const bool narrow = std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x100; });
  const std::size_t bytes = text.size() * (narrow ? 1 : sizeof(char16_t));
  const auto length = static_cast<std::uint32_t>(text.size()) | (narrow ? kNarrow : 0);
  std::byte* into = nullptr;
  Ref ref{};
  // A long text gets a chunk of its own, so chunks stay small.
  if (bytes > kChunkBytes / 4) {
    void* own = std::malloc(bytes);
    if (own == nullptr) throw std::bad_alloc();
    chunks_.emplace_back(own);
    into = static_cast<std::byte*>(own);
    ref = {static_cast<std::uint32_t>(chunks_.size() - 1), 0, length};
  } else {
    if (used_ + bytes > kChunkBytes) {
      chunks_.push_back(AllocateChunk(!chunks_.empty()));
      current_ = static_cast<std::uint32_t>(chunks_.size() - 1);
      used_ = 0;
    }
    into = static_cast<std::byte*>(chunks_[current_].get()) + used_;
    ref = {current_, static_cast<std::uint32_t>(used_), length};
    used_ += bytes;
  }
  if (narrow) {
    std::transform(text.begin(), text.end(), into, [](char16_t unit) { return static_cast<std::byte>(unit); });
  } else {
    std::memcpy(into, text.data(), bytes);
  }
  return ref;
}

void TextArena::AppendTo(std::u16string& out, Ref ref) const {
  const std::size_t units = ref.length & ~kNarrow;
  if (units == 0) return;
  const auto* from = static_cast<const std::byte*>(chunks_[ref.chunk].get()) + ref.offset;
  const std::size_t start = out.size();
  out.resize(start + units);
  if (ref.length & kNarrow) {
    std::transform(from, from + units, out.begin() + static_cast<std::ptrdiff_t>(start),
                   [](std::byte unit) { return static_cast<char16_t>(std::to_integer<unsigned>(unit)); });
  } else {
    std::memcpy(out.data() + start, from, units * sizeof(char16_t));
  }
}

void TextArena::Clear() {
  chunks_.clear();
  current_ = 0;
  used_ = kChunkBytes;
}

}  // namespace tallowin
