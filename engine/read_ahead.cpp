#include "engine/read_ahead.h"

#include <algorithm>

namespace tallowin {

ReadAhead::ReadAhead(BkfReader& file) : file_(file) {}

void ReadAhead::Fill(Chunk& chunk, std::uint64_t position, std::size_t count) {
  chunk.position = position;
  chunk.filled = std::min(count, file_.ReadAt(position, std::span(chunk.bytes).first(count)));
}

void ReadAhead::ReadOnItsThread(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  while (changed_.wait(lock, stop, [&] { return request_.has_value(); })) {
    const auto [position, count] = *request_;
    lock.unlock();
    Fill(ahead_, position, count);
    lock.lock();
    request_.reset();
    aheadValid_ = true;
    changed_.notify_all();
  }
}

void ReadAhead::Settle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [&] { return !request_.has_value(); });
}

void ReadAhead::Begin(std::uint64_t from, std::uint64_t count) {
  position_ = from;
  remaining_ = count;
}

std::span<const std::byte> ReadAhead::Next() {
  if (remaining_ == 0) return {};
  const auto due = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, remaining_));
  bool taken = false;
  if (reader_.joinable()) {
    std::unique_lock lock(mutex_);
    Settle(lock);
    if (aheadValid_ && ahead_.position == position_) {
      std::swap(current_, ahead_);
      aheadValid_ = false;
      taken = true;
    }
  }
  if (!taken) Fill(current_, position_, due);
  const std::size_t filled = std::min(current_.filled, due);
  position_ += filled;
  remaining_ = filled < due ? 0 : remaining_ - filled;
  // The chunk after this one is read while this one is worked on.
  if (remaining_ > 0) {
    if (!reader_.joinable()) reader_ = std::jthread([this](std::stop_token stop) { ReadOnItsThread(stop); });
    std::lock_guard lock(mutex_);
    request_ = {position_, static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, remaining_))};
    aheadValid_ = false;
    changed_.notify_all();
  }
  return std::span<const std::byte>(current_.bytes).first(filled);
}

}  // namespace tallowin
