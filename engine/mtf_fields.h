// Where each field that the program reads or writes lies in an MTF block or
// a stream header, with the attribute bits it tests: one table, so that the
// scan, the reading of a file's data and the test writer agree on every byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tallowin::mtf {

// Common block header.
inline constexpr std::size_t kFirstEventOffset = 8;
inline constexpr std::size_t kDisplayableSize = 12;
inline constexpr std::size_t kFormatLogicalAddress = 20;
inline constexpr std::size_t kHeaderChecksum = 50;
inline constexpr std::size_t kCommonHeaderSize = 52;
// The block's own attributes, after the common header (DIRB and FILE).
inline constexpr std::size_t kBlockAttributes = 52;
// The name is kept in a stream of the block (PNAM, FNAM), its field empty.
inline constexpr std::uint32_t kNameInStream = 0x20000;
// Tape header block.
inline constexpr std::size_t kTapeLogicalBlockSize = 84;
// The format logical block of a file whose tape header does not say.
inline constexpr std::uint64_t kDefaultLogicalBlock = 1024;
// Data set block.
inline constexpr std::size_t kSetNameSize = 64;
inline constexpr std::size_t kSetNameOffset = 66;
inline constexpr std::size_t kSetWriteDate = 88;
// Directory block.
inline constexpr std::size_t kDirectoryNameSize = 80;
inline constexpr std::size_t kDirectoryNameOffset = 82;
// Directory and file blocks: the directory's id, and the file's own.
inline constexpr std::size_t kDirectoryId = 76;
inline constexpr std::size_t kFileId = 80;
// File block.
inline constexpr std::size_t kModifiedDate = 56;
inline constexpr std::size_t kCreatedDate = 61;
inline constexpr std::size_t kAccessedDate = 71;
inline constexpr std::size_t kFileNameSize = 84;
inline constexpr std::size_t kFileNameOffset = 86;
// Stream header.
inline constexpr std::size_t kStreamFileSystemAttributes = 4;
inline constexpr std::size_t kStreamMediaAttributes = 6;
inline constexpr std::size_t kStreamLength = 8;
inline constexpr std::size_t kStreamChecksum = 20;
inline constexpr std::size_t kStreamHeaderSize = 22;
// File-system attribute of a data stream.
inline constexpr std::uint16_t kSparseStream = 0x0008;
// Media-format attributes of a data stream.
inline constexpr std::uint16_t kEncryptedStream = 0x0008;
inline constexpr std::uint16_t kCompressedStream = 0x0010;
inline constexpr std::uint16_t kChecksummedStream = 0x0020;

}  // namespace tallowin::mtf
