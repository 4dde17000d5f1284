// The few pieces of Microsoft Tape Format that recovery relies on: the block
// ids, the fields of data set, directory and file blocks, packed dates,
// string fields and the header of a file's standard data stream.
//
// Every function takes the bytes from a block's first byte to the end of what
// the last read filled, and never looks past them: a fixed field beyond them
// reads as zero, a string or stream header that reaches beyond them counts
// as absent.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <span>
#include <string>

#include "catalog/number_text.h"
#include "engine/mtf_fields.h"

namespace tallowin {

using Bytes = std::span<const std::byte>;

inline constexpr std::size_t kBlockSize = 512;

// The index in the table of block ids, or one of the two other results.
enum class BlockClass : int {
  kTape = 0, kSfmb, kSset, kVolb, kDirb, kFile, kEset, kEotm, kCfil, kEspb,
  kTsmp, kTfdd, kNacl, kNtqu, kCsum, kStan, kSpad, kFend, kNtoi,
  kEmpty = -1,         // the four id bytes are zero
  kUnrecognised = -2,  // anything else, including a known id with attributes set
};

namespace mtf {
// Longest set name, in bytes, that is accepted.
inline constexpr std::size_t kMaxSetNameBytes = 260;
// Directory and file names are cut after this many code units.
inline constexpr std::size_t kNameLimit = 255;
inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
}  // namespace mtf

// Where a block lies: the filled bytes of its window, its offset in them and
// the window's position in the BKF file.
struct BlockSite {
  Bytes window;
  std::size_t blockOffset;
  std::uint64_t windowPosition;

  Bytes Block() const { return window.subspan(blockOffset); }
  std::uint64_t Position() const { return windowPosition + blockOffset; }
};

// A little-endian field; bytes beyond `bytes` read as zero. Inline: the scan
// reads several for every block it meets.
template <typename Unsigned>
inline Unsigned ReadLittleEndian(Bytes bytes, std::size_t offset) {
  Unsigned value = 0;
  if (offset <= bytes.size() && bytes.size() - offset >= sizeof(Unsigned) &&
      std::endian::native == std::endian::little) {
    std::memcpy(&value, bytes.data() + offset, sizeof(Unsigned));
    return value;
  }
  for (std::size_t i = sizeof(Unsigned); i-- > 0;) {
    const std::size_t at = offset + i;
    value = static_cast<Unsigned>(value << 8 | (at >= offset && at < bytes.size() ? std::to_integer<Unsigned>(bytes[at]) : 0));
  }
  return value;
}
inline std::uint16_t ReadU16(Bytes bytes, std::size_t offset) { return ReadLittleEndian<std::uint16_t>(bytes, offset); }
inline std::uint32_t ReadU32(Bytes bytes, std::size_t offset) { return ReadLittleEndian<std::uint32_t>(bytes, offset); }
inline std::uint64_t ReadU64(Bytes bytes, std::size_t offset) { return ReadLittleEndian<std::uint64_t>(bytes, offset); }

namespace mtf {
// The block ids in table order, as the little-endian value of their four bytes.
inline constexpr std::uint32_t IdValue(const char (&id)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(id[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(id[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(id[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(id[3])) << 24;
}
inline constexpr std::uint32_t kBlockIds[] = {
    IdValue("TAPE"), IdValue("SFMB"), IdValue("SSET"), IdValue("VOLB"), IdValue("DIRB"),
    IdValue("FILE"), IdValue("ESET"), IdValue("EOTM"), IdValue("CFIL"), IdValue("ESPB"),
    IdValue("TSMP"), IdValue("TFDD"), IdValue("NACL"), IdValue("NTQU"), IdValue("CSUM"),
    IdValue("STAN"), IdValue("SPAD"), IdValue("FEND"), IdValue("NTOI")};
}  // namespace mtf

// Inline: the scan asks this for every 512 bytes of the file.
inline BlockClass ClassifyBlock(Bytes block) {
  std::uint32_t id = 0;
  std::uint32_t attributes = 0;
  if (block.size() >= 6 && std::endian::native == std::endian::little) {
    std::memcpy(&id, block.data(), 4);
    attributes = std::to_integer<std::uint32_t>(block[4] | block[5]);
  } else {
    const auto byte = [&](std::size_t offset) {
      return offset < block.size() ? std::to_integer<std::uint32_t>(block[offset]) : 0u;
    };
    id = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    attributes = byte(4) | byte(5);
  }
  if (id == 0) return BlockClass::kEmpty;
  if (attributes != 0) return BlockClass::kUnrecognised;
  for (std::size_t i = 0; i < std::size(mtf::kBlockIds); ++i) {
    if (id == mtf::kBlockIds[i]) return static_cast<BlockClass>(i);
  }
  return BlockClass::kUnrecognised;
}

// The file time of the packed date at `offset`, taken as the time itself (no
// time-zone shift); 0 when it is not a valid calendar time.
FileTime DecodeMtfDate(Bytes block, std::size_t offset);

// The `size` bytes at `offset` from the block start as UTF-16LE code units,
// NUL units turned into backslashes, cut after `limit` units.
std::u16string ReadMtfString(Bytes block, std::uint16_t size, std::uint16_t offset,
                             std::size_t limit = mtf::kNoLimit);
// The same into `text`, whose memory is reused.
void ReadMtfString(Bytes block, std::uint16_t size, std::uint16_t offset, std::size_t limit, std::u16string& text);

// The distance from the block start of the first "STAN" within the first
// `limit` bytes, when its whole 22-byte header lies within `block`.
std::optional<std::size_t> FindDataStream(Bytes block, std::size_t limit);

}  // namespace tallowin
