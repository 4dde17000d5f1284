#include "engine/lost_file_data.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/mtf_stream.h"

namespace tallowin {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;
// A file's data starts this far after its block at the least.
constexpr std::uint64_t kSmallestBlock = 52;
constexpr std::uint64_t kChecksumStream = mtf::kStreamHeaderSize + mtf::kChecksumSize;

bool IdAt(const std::byte* bytes, std::uint32_t id) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | std::to_integer<std::uint32_t>(bytes[i]);
  return value == id;
}

// The XOR of the little-endian 32-bit words from `base` on, for any end on
// the same 4-byte phase: prefix values are kept every kStep bytes, so each
// answer costs at most kStep bytes however far the end lies, and a run of
// candidates far apart or close together costs one pass over the range.
class WordXorPrefix {
 public:
  WordXorPrefix(BkfReader& file, std::uint64_t base) : file_(file), base_(base) {}

  // The XOR of the words in [base, end); nothing when the file does not give them.
  std::optional<std::uint32_t> Before(std::uint64_t end) {
    const std::uint64_t step = (end - base_) / kStep;
    while (steps_.size() <= step) {
      const std::uint64_t from = base_ + (steps_.size() - 1) * kStep;
      if (from < chunkStart_ || from + kStep > chunkStart_ + chunk_.size()) {
        chunk_.resize(kChunk);
        chunkStart_ = from;
        chunk_.resize(file_.ReadAt(from, chunk_));
        if (chunk_.size() < kStep) return std::nullopt;
      }
      steps_.push_back(ChecksumStep(steps_.back(), std::span(chunk_).subspan(static_cast<std::size_t>(from - chunkStart_), kStep), 0));
    }
    const std::uint64_t from = base_ + step * kStep;
    const auto count = static_cast<std::size_t>(end - from);
    std::span<const std::byte> bytes;
    if (from >= chunkStart_ && from + count <= chunkStart_ + chunk_.size()) {
      bytes = std::span(chunk_).subspan(static_cast<std::size_t>(from - chunkStart_), count);
    } else {
      if (file_.ReadAt(from, std::span(last_).first(count)) < count) return std::nullopt;
      bytes = std::span(last_).first(count);
    }
    return ChecksumStep(steps_[step], bytes, 0);
  }

 private:
  static constexpr std::size_t kStep = 1024;

  BkfReader& file_;
  std::uint64_t base_;
  std::vector<std::uint32_t> steps_{0};
  std::vector<std::byte> chunk_;  // the last stretch read ahead
  std::uint64_t chunkStart_ = 0;
  std::array<std::byte, kStep> last_{};
};

// The first data stream header of the file's size, or an empty sparse one,
// on the 4-byte grid from the block on.
std::optional<LostFileData> FindByDataHeader(BkfReader& file, std::uint64_t fileSize, const LostFile& lost) {
  std::uint64_t end = std::min(fileSize, lost.block + mtf::kStreamChainBound);
  if (lost.nextBlock) end = std::min(end, *lost.nextBlock);
  if (end <= lost.block) return std::nullopt;
  std::vector<std::byte> bytes(static_cast<std::size_t>(end - lost.block));
  bytes.resize(file.ReadAt(lost.block, bytes));
  for (std::uint64_t at = AlignStream(lost.block); at + mtf::kStreamHeaderSize <= lost.block + bytes.size();
       at += mtf::kStreamAlignment) {
    const auto offset = static_cast<std::size_t>(at - lost.block);
    if (!IdAt(bytes.data() + offset, mtf::kStan)) continue;
    const StreamHeader header = *ReadStreamHeader(std::span(bytes).subspan(offset));
    const bool sparse = header.length == 0 && (header.fileSystemAttributes & mtf::kSparseStream) != 0;
    if (header.valid && (header.length == lost.size || sparse)) {
      return LostFileData{lost.size, at + mtf::kStreamHeaderSize};
    }
  }
  return std::nullopt;
}

// The data that a "CSUM" stream after the block names: the one data offset
// two bytes past the 4-byte grid whose data, rounded up to the grid, ends
// where the checksum stream begins. The first whose checksum matches wins,
// else the first named at all (its save will call it damaged).
std::optional<LostFileData> FindByChecksum(BkfReader& file, std::uint64_t fileSize, const LostFile& lost,
                                           std::stop_token stop) {
  const std::uint64_t begin = lost.block + kSmallestBlock;
  const std::uint64_t end = std::min(fileSize, lost.searchEnd);
  if (end <= begin || end - begin < kChecksumStream) return std::nullopt;
  const std::uint64_t base = begin + (6 - begin % 4) % 4;  // the first position two past the grid
  WordXorPrefix words(file, base);
  std::optional<std::uint64_t> first;
  std::vector<std::byte> chunk;
  for (std::uint64_t from = AlignStream(begin); from + kChecksumStream <= end;) {
    if (stop.stop_requested()) return std::nullopt;
    chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, end - from)));
    chunk.resize(file.ReadAt(from, chunk));
    if (chunk.size() < kChecksumStream) break;
    std::size_t offset = 0;
    for (; offset + kChecksumStream <= chunk.size(); offset += mtf::kStreamAlignment) {
      if (!IdAt(chunk.data() + offset, mtf::kCsum)) continue;
      const auto header = std::span<const std::byte>(chunk).subspan(offset, kChecksumStream);
      const StreamHeader checksum = *ReadStreamHeader(header);
      const std::uint64_t at = from + offset;
      if (!checksum.valid || checksum.length != mtf::kChecksumSize || at < lost.size + 2) continue;
      const std::uint64_t last = at - lost.size;  // the data ends at most here
      const std::uint64_t data = last - (last - 2) % 4;
      if (data < begin) continue;
      if (!first) first = data;
      const std::uint64_t whole = data + lost.size / 4 * 4;
      const auto head = words.Before(whole);
      const auto start = words.Before(data);
      if (!head || !start) continue;
      std::byte tail[4] = {};
      const auto tailSize = static_cast<std::size_t>(lost.size % 4);
      if (file.ReadAt(whole, std::span(tail).first(tailSize)) < tailSize) continue;
      const std::uint32_t sum = ChecksumStep(*head ^ *start, std::span(tail).first(tailSize), 0);
      if (sum == ReadU32(header, mtf::kStreamHeaderSize)) return LostFileData{lost.size, data};
    }
    if (chunk.size() < kChunk) break;
    from += offset;
  }
  if (first) return LostFileData{lost.size, *first};
  return std::nullopt;
}

}  // namespace

std::optional<LostFileData> FindLostFileData(BkfReader& file, std::uint64_t fileSize, const LostFile& lost,
                                             std::stop_token stop) {
  if (lost.size == 0) return LostFileData{0, lost.block};
  if (const auto found = FindByDataHeader(file, fileSize, lost)) return found;
  return FindByChecksum(file, fileSize, lost, stop);
}

}  // namespace tallowin
