// Reads a stretch of the BKF file chunk by chunk, the next chunk on a
// thread of its own while the caller works on the current one: the
// system's copy of a large file's bytes and the checksum over them (and
// their writing) take two cores instead of one.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

#include "engine/bkf_file.h"

namespace tallowin {

class ReadAhead {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;

  explicit ReadAhead(BkfReader& file);
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Starts the stretch of `count` bytes at `from`.
  void Begin(std::uint64_t from, std::uint64_t count);
  // The next chunk of the stretch, at most kChunk bytes; empty at its end.
  // Fewer bytes than were due where the file ended or could not be read:
  // the stretch ends there.
  std::span<const std::byte> Next();

 private:
  struct Chunk {
    std::vector<std::byte> bytes = std::vector<std::byte>(kChunk);
    std::uint64_t position = 0;
    std::size_t filled = 0;
  };
  void Fill(Chunk& chunk, std::uint64_t position, std::size_t count);
  void ReadOnItsThread(std::stop_token stop);
  // Waits until no read into `ahead_` runs.
  void Settle(std::unique_lock<std::mutex>& lock);

  BkfReader& file_;
  std::uint64_t position_ = 0;   // of the next chunk due
  std::uint64_t remaining_ = 0;  // bytes of the stretch still due
  Chunk current_;
  Chunk ahead_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::optional<std::pair<std::uint64_t, std::size_t>> request_;  // a read into `ahead_` asked for or running
  bool aheadValid_ = false;       // `ahead_` holds what it was last asked for
  std::jthread reader_;           // started by the first stretch of more than a chunk
};

}  // namespace tallowin
