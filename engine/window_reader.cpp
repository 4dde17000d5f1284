#include "engine/window_reader.h"

#include <algorithm>

namespace tallowin {
namespace {

// A file of fewer reads than this is read without a second thread.
constexpr std::uint64_t kReadsWorthAThread = 4;

}  // namespace

WindowReader::WindowReader(BkfReader& file, std::uint64_t end) : file_(file), end_(end) {
  if (end / (kWindowSize * kWindowsPerRead) >= kReadsWorthAThread) {
    reader_ = std::jthread([this](std::stop_token stop) { ReadAhead(stop); });
  }
}

void WindowReader::Fill(Batch& batch, std::uint64_t position) {
  const std::span<std::byte> buffer(batch.buffer->bytes);
  batch.start = position;
  batch.asked = static_cast<std::size_t>(
      std::min<std::uint64_t>(buffer.size(), (end_ - position) / kWindowSize * kWindowSize));
  const std::size_t filled = std::min(batch.asked, file_.ReadAt(position, buffer.first(batch.asked)));
  batch.valid = filled / kWindowSize * kWindowSize;
}

void WindowReader::ReadAhead(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  while (changed_.wait(lock, stop, [&] { return request_.has_value(); })) {
    const std::uint64_t position = *request_;
    lock.unlock();
    Fill(ahead_, position);
    lock.lock();
    request_.reset();
    changed_.notify_all();
  }
}

void WindowReader::WaitForAhead(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [&] { return !request_.has_value(); });
}

void WindowReader::AskAhead(std::uint64_t position) {
  if (!reader_.joinable() || position >= end_ || end_ - position < kWindowSize) return;
  std::lock_guard lock(mutex_);
  request_ = position;
  changed_.notify_all();
}

Bytes WindowReader::ReadAlone(std::uint64_t position, std::span<std::byte> into) {
  const std::size_t filled = std::min(into.size(), file_.ReadAt(position, into));
  std::fill(into.begin() + static_cast<std::ptrdiff_t>(filled), into.end(), std::byte{0});
  return into.first(filled);
}

Bytes WindowReader::Window(std::uint64_t position, bool busy) {
  const auto covered = [&](const Batch& batch) {
    return position >= batch.start && position + kWindowSize <= batch.start + batch.valid;
  };
  if (!covered(current_)) {
    bool taken = false;
    if (reader_.joinable()) {
      std::unique_lock lock(mutex_);
      WaitForAhead(lock);
      if (covered(ahead_)) {
        std::swap(current_, ahead_);
        taken = true;
      }
    }
    if (!taken) Fill(current_, position);
    // The next read goes on while this one is examined, when that pays and
    // unless this one
    // came back short: the windows after a failure are read one by one.
    if (busy && current_.valid == current_.asked) AskAhead(current_.start + current_.asked);
  }
  const std::span<std::byte> buffer(current_.buffer->bytes);
  if (covered(current_)) {
    return buffer.subspan(static_cast<std::size_t>(position - current_.start), kWindowSize);
  }
  // Not even this window filled: it is read again on its own.
  current_.valid = 0;
  return ReadAlone(position, buffer.first(kWindowSize));
}

Bytes WindowReader::Part(std::uint64_t position, std::size_t count) {
  current_.valid = 0;
  return ReadAlone(position, std::span(current_.buffer->bytes).first(count));
}

}  // namespace tallowin
