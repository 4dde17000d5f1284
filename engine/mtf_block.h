// The few pieces of Microsoft Tape Format that recovery relies on: the block
// ids, the fields of data set, directory and file blocks, packed dates,
// string fields and the header of a file's standard data stream.
//
// Every function takes the bytes from a block's first byte to the end of what
// the last read filled, and never looks past them: a fixed field beyond them
// reads as zero, a string or stream header that reaches beyond them counts
// as absent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

#include "catalog/number_text.h"

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
// Data set block.
inline constexpr std::size_t kSetNameSize = 64;
inline constexpr std::size_t kSetNameOffset = 66;
// Directory block.
inline constexpr std::size_t kDirectoryNameSize = 80;
inline constexpr std::size_t kDirectoryNameOffset = 82;
// File block.
inline constexpr std::size_t kModifiedDate = 56;
inline constexpr std::size_t kCreatedDate = 61;
inline constexpr std::size_t kAccessedDate = 71;
inline constexpr std::size_t kFileNameSize = 84;
inline constexpr std::size_t kFileNameOffset = 86;
// Standard data stream header.
inline constexpr std::size_t kStreamLength = 8;
inline constexpr std::size_t kStreamHeaderSize = 22;
// Longest set name, in bytes, that is accepted.
inline constexpr std::size_t kMaxSetNameBytes = 260;
// Directory and file names are cut after this many code units.
inline constexpr std::size_t kNameLimit = 255;
inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
}  // namespace mtf

std::uint16_t ReadU16(Bytes bytes, std::size_t offset);
std::uint64_t ReadU64(Bytes bytes, std::size_t offset);

BlockClass ClassifyBlock(Bytes block);

// The file time of the packed date at `offset`, taken as the time itself (no
// time-zone shift); 0 when it is not a valid calendar time.
FileTime DecodeMtfDate(Bytes block, std::size_t offset);

// The `size` bytes at `offset` from the block start as UTF-16LE code units,
// NUL units turned into backslashes, cut after `limit` units.
std::u16string ReadMtfString(Bytes block, std::uint16_t size, std::uint16_t offset,
                             std::size_t limit = mtf::kNoLimit);

// The distance from the block start of the first "STAN" within the first
// `limit` bytes, when its whole 22-byte header lies within `block`.
std::optional<std::size_t> FindDataStream(Bytes block, std::size_t limit);

}  // namespace tallowin
