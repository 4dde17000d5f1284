#include "engine/mtf_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/bkf_file.h"

namespace tallowin {
namespace {

// The XOR of the little-endian 16-bit words in [0, end), eight bytes at a
// time and folded: every FILE block of a scan has its header checked.
std::uint16_t XorOfWords(Bytes bytes, std::size_t end) {
  std::uint64_t wide = 0;
  std::size_t i = 0;
  for (; i + 8 <= end; i += 8) wide ^= ReadU64(bytes, i);
  std::uint16_t sum = static_cast<std::uint16_t>(wide ^ wide >> 16 ^ wide >> 32 ^ wide >> 48);
  for (; i < end; i += 2) sum ^= ReadU16(bytes, i);
  return sum;
}

// The bytes at an absolute position: from the window when it holds them all,
// otherwise read from the file. Empty when they cannot all be had.
class ChainBytes {
 public:
  ChainBytes(const BlockSite& site, BkfReader& file) : site_(site), file_(file) {}

  Bytes At(std::uint64_t position, std::size_t count) {
    const std::uint64_t windowEnd = site_.windowPosition + site_.window.size();
    if (position >= site_.windowPosition && position <= windowEnd && windowEnd - position >= count) {
      return site_.window.subspan(static_cast<std::size_t>(position - site_.windowPosition), count);
    }
    const std::span<std::byte> into = std::span(buffer_).first(count);
    if (file_.ReadAt(position, into) < count) return {};
    return into;
  }

 private:
  const BlockSite& site_;
  BkfReader& file_;
  std::array<std::byte, mtf::kStreamHeaderSize> buffer_{};
};

}  // namespace

std::optional<StreamHeader> ReadStreamHeader(Bytes bytes) {
  if (bytes.size() < mtf::kStreamHeaderSize) return std::nullopt;
  StreamHeader header;
  header.id = ReadU32(bytes, 0);
  header.fileSystemAttributes = ReadU16(bytes, mtf::kStreamFileSystemAttributes);
  header.mediaAttributes = ReadU16(bytes, mtf::kStreamMediaAttributes);
  header.length = ReadU64(bytes, mtf::kStreamLength);
  header.valid = header.id != 0 && XorOfWords(bytes, mtf::kStreamChecksum) == ReadU16(bytes, mtf::kStreamChecksum);
  return header;
}

std::optional<StreamHeader> ReadStreamHeaderAt(BkfReader& file, std::uint64_t position, std::uint64_t fileSize) {
  if (position > fileSize || fileSize - position < mtf::kStreamHeaderSize) return std::nullopt;
  std::array<std::byte, mtf::kStreamHeaderSize> bytes{};
  if (file.ReadAt(position, bytes) < bytes.size()) return std::nullopt;
  return ReadStreamHeader(bytes);
}

bool HasValidHeaderChecksum(Bytes block) {
  return block.size() >= mtf::kCommonHeaderSize &&
         XorOfWords(block, mtf::kHeaderChecksum) == ReadU16(block, mtf::kHeaderChecksum);
}

std::uint64_t AlignStream(std::uint64_t position) {
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max() / mtf::kStreamAlignment *
                                     mtf::kStreamAlignment;
  if (position > kLargest) return kLargest;
  return (position + mtf::kStreamAlignment - 1) / mtf::kStreamAlignment * mtf::kStreamAlignment;
}

std::uint64_t NextStream(std::uint64_t position, const StreamHeader& header) {
  const std::uint64_t body = position + mtf::kStreamHeaderSize;
  if (header.length > std::numeric_limits<std::uint64_t>::max() - body) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return AlignStream(body + header.length);
}

bool IsDescriptorBlock(BlockClass kind) {
  return kind >= BlockClass::kTape && kind <= BlockClass::kEspb;
}

StreamChainEnd FollowStreamChain(const BlockSite& site, BkfReader& file, std::uint64_t fileSize) {
  using Kind = StreamChainEnd::Kind;
  const Bytes block = site.Block();
  const std::uint64_t start = site.Position();
  const std::uint64_t bound = std::min(fileSize, start + mtf::kStreamChainBound);
  ChainBytes bytes(site, file);
  std::uint64_t position = start + ReadU16(block, mtf::kFirstEventOffset);
  // Each step moves on by at least one header, so the bound ends the walk.
  while (position <= bound && bound - position >= mtf::kStreamHeaderSize) {
    const Bytes here = bytes.At(position, mtf::kStreamHeaderSize);
    if (here.empty()) break;
    if (position % kBlockSize == 0 && IsDescriptorBlock(ClassifyBlock(here))) {
      return {Kind::kNoDataStream, position, {}};
    }
    const StreamHeader header = *ReadStreamHeader(here);
    if (!header.valid) break;
    if (header.id == mtf::kStan) return {Kind::kDataStream, position, header};
    if (header.id == mtf::kSpad) return {Kind::kNoDataStream, position, header};
    if (header.id == mtf::kNted) return {Kind::kEncrypted, position, header};
    position = NextStream(position, header);
  }
  return {Kind::kUnknown, position, {}};
}

std::optional<std::u16string> ReadNameStream(const BlockSite& site, BkfReader& file, std::uint64_t fileSize,
                                             std::uint32_t id, std::size_t limit) {
  const std::uint64_t header = site.Position() + ReadU16(site.Block(), mtf::kFirstEventOffset);
  const auto found = ReadStreamHeaderAt(file, header, fileSize);
  if (!found || !found->valid || found->id != id) return std::nullopt;
  const std::uint64_t data = header + mtf::kStreamHeaderSize;
  const auto count = static_cast<std::size_t>(
      std::min<std::uint64_t>({found->length, mtf::kNameStreamBound, fileSize - data}));
  std::vector<std::byte> bytes(count);
  bytes.resize(file.ReadAt(data, bytes));
  std::u16string text;
  text.reserve(std::min(bytes.size() / 2, limit));
  for (std::size_t i = 0; i + 1 < bytes.size() && text.size() < limit; i += 2) {
    const auto unit = static_cast<char16_t>(ReadU16(bytes, i));
    text.push_back(unit == 0 ? u'\\' : unit);
  }
  return text;
}

std::uint32_t ChecksumStep(std::uint32_t sum, std::span<const std::byte> bytes, std::uint64_t position) {
  const auto byteAt = [&](std::size_t i) {
    return std::to_integer<std::uint32_t>(bytes[i]) << (8 * ((position + i) % 4));
  };
  std::size_t i = 0;
  // Whole 64-bit words once aligned: two 32-bit words each, folded at the end.
  if constexpr (std::endian::native == std::endian::little) {
    for (; i < bytes.size() && (position + i) % 8 != 0; ++i) sum ^= byteAt(i);
    std::uint64_t wide = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + i, 8);
      wide ^= word;
    }
    sum ^= static_cast<std::uint32_t>(wide) ^ static_cast<std::uint32_t>(wide >> 32);
  }
  for (; i < bytes.size(); ++i) sum ^= byteAt(i);
  return sum;
}

}  // namespace tallowin
