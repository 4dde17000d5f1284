#include "engine/window_reader.h"

#include <algorithm>

namespace tallowin {

WindowReader::WindowReader() : buffer_(std::make_unique<Buffer>()) {}

Bytes WindowReader::ReadInto(BkfReader& file, std::uint64_t position, std::span<std::byte> into) {
  const std::size_t filled = std::min(into.size(), file.ReadAt(position, into));
  std::fill(into.begin() + static_cast<std::ptrdiff_t>(filled), into.end(), std::byte{0});
  return into.first(filled);
}

Bytes WindowReader::Window(BkfReader& file, std::uint64_t position, std::uint64_t end) {
  const std::span<std::byte> buffer(buffer_->bytes);
  if (position >= start_ && position + kWindowSize <= start_ + valid_) {
    return buffer.subspan(static_cast<std::size_t>(position - start_), kWindowSize);
  }
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), (end - position) / kWindowSize * kWindowSize));
  const std::size_t filled = std::min(want, file.ReadAt(position, buffer.first(want)));
  start_ = position;
  valid_ = filled / kWindowSize * kWindowSize;
  if (valid_ > 0) return buffer.first(kWindowSize);
  // Not even this window filled: it is read again on its own.
  return ReadInto(file, position, buffer.first(kWindowSize));
}

Bytes WindowReader::Part(BkfReader& file, std::uint64_t position, std::size_t count) {
  valid_ = 0;
  return ReadInto(file, position, std::span(buffer_->bytes).first(count));
}

}  // namespace tallowin
