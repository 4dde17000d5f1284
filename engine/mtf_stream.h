// The data streams that follow an MTF descriptor block: their 22-byte
// headers, the header checksums that tell a real header from stray bytes,
// and the chain in which a block's streams follow one another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/mtf_block.h"

namespace tallowin {

class BkfReader;

namespace mtf {
// Streams are 4-byte aligned.
inline constexpr std::uint64_t kStreamAlignment = 4;
// A block's stream chain is followed this far from the block start at most.
inline constexpr std::uint64_t kStreamChainBound = 65536;

inline constexpr std::uint32_t kStan = IdValue("STAN");
inline constexpr std::uint32_t kSpad = IdValue("SPAD");
inline constexpr std::uint32_t kCsum = IdValue("CSUM");
inline constexpr std::uint32_t kSpar = IdValue("SPAR");
inline constexpr std::uint32_t kNted = IdValue("NTED");
inline constexpr std::uint32_t kPnam = IdValue("PNAM");
inline constexpr std::uint32_t kFnam = IdValue("FNAM");
inline constexpr std::uint32_t kTfdd = IdValue("TFDD");
// A "CSUM" stream holds 4 bytes.
inline constexpr std::uint64_t kChecksumSize = 4;
// A name stream is read this far at most.
inline constexpr std::size_t kNameStreamBound = 65536;
}  // namespace mtf

struct StreamHeader {
  std::uint32_t id = 0;  // the four id bytes, little-endian
  std::uint16_t fileSystemAttributes = 0;
  std::uint16_t mediaAttributes = 0;
  std::uint64_t length = 0;
  // The XOR of the first ten 16-bit words equals the checksum word, and the
  // id is not all zero (zeroed bytes are no header).
  bool valid = false;
};

// The header in the first 22 bytes of `bytes`; nothing when they are fewer.
std::optional<StreamHeader> ReadStreamHeader(Bytes bytes);

// The header at `position` of the BKF file; nothing when the file does not
// hold all its 22 bytes or cannot give them.
std::optional<StreamHeader> ReadStreamHeaderAt(BkfReader& file, std::uint64_t position, std::uint64_t fileSize);

// The block's header checksum: the XOR of the 25 words at 0 to 48 equals the
// word at 50. False when the 52 bytes are not all there.
bool HasValidHeaderChecksum(Bytes block);

// `position` rounded up to the stream alignment; the largest aligned value
// when that would overflow.
std::uint64_t AlignStream(std::uint64_t position);

// Where the stream after a header at `position` begins.
std::uint64_t NextStream(std::uint64_t position, const StreamHeader& header);

// How a FILE block's stream chain ends.
struct StreamChainEnd {
  enum class Kind {
    kDataStream,    // a valid "STAN" header at `position`
    kNoDataStream,  // a valid "SPAD", or the next block on the 512-byte grid
    kEncrypted,     // a valid "NTED" header at `position`: the data as stored, encrypted
    kUnknown,       // an invalid header, a failed read or the bound: nothing is known
  };
  Kind kind = Kind::kUnknown;
  std::uint64_t position = 0;
  StreamHeader header;
};

// Follows the stream chain of the FILE block at `site`: from the block start
// plus its offset to the first event, header by header, reading from the
// window where it holds the bytes and from `file` past it; never beyond
// kStreamChainBound bytes from the block start or past `fileSize`.
StreamChainEnd FollowStreamChain(const BlockSite& site, BkfReader& file, std::uint64_t fileSize);

// The text of the block's first stream when that is a valid header with the
// id `id` (a PNAM path, an FNAM name): UTF-16LE, NULs turned into
// backslashes, at most kNameStreamBound bytes of it, cut after `limit` units.
std::optional<std::u16string> ReadNameStream(const BlockSite& site, BkfReader& file, std::uint64_t fileSize,
                                             std::uint32_t id, std::size_t limit);

// The checksum that a "CSUM" stream holds: the XOR of the data taken as
// little-endian 32-bit words, the last short word filled with zero bytes.
// Carried on over `bytes` that begin `position` bytes into the data.
std::uint32_t ChecksumStep(std::uint32_t sum, std::span<const std::byte> bytes, std::uint64_t position);

// True for the blocks that begin a new piece of the backup (TAPE to ESPB): a
// FILE block's streams never run into one.
bool IsDescriptorBlock(BlockClass kind);

}  // namespace tallowin
