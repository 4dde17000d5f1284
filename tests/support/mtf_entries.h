// What the test MTF writer is given to write, and what it tells of where it
// put a file's parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallowin::test {

struct PackedDate {
  int year = 2007, month = 5, day = 12, hour = 14, minute = 30, second = 45;
};

struct FileEntry {
  std::u16string name{};  // stored as is, so a test may give NULs or backslashes
  std::string data{};
  PackedDate modified{};
  PackedDate created{2006, 1, 2, 3, 4, 5};
  PackedDate accessed{2008, 12, 31, 23, 59, 59};
  // Where the "STAN" header starts, from the FILE block start; by default
  // just after the name.
  std::optional<std::size_t> streamOffset = std::nullopt;
  // The stream length field; by default the size of `data`.
  std::optional<std::uint64_t> declaredLength = std::nullopt;
  std::uint16_t attributes = 0;  // low half of the block attributes
};

// Where the Windows utility's style puts a set's catalogue: as the ESET
// block's first stream, or after the soft filemark that follows the ESET
// block, on the next format logical block.
enum class CatalogueLayout { kInEndOfSet, kAfterFilemark };

// How the blocks of a whole file are laid out.
enum class WriterStyle {
  // The 512-byte grid and only the fields the engine reads: what the writer
  // has always written, and what the bundled sample is made of.
  kMinimal,
  // The Windows backup utility: 1024-byte format logical blocks, soft
  // filemarks around each set's end, a volume block per set, security,
  // data, checksum and padding streams with valid checksums, and a
  // TFDD/TSMP catalogue after each set.
  kWindowsUtility,
  // A server backup product that writes the same extension: 512-byte
  // blocks, 64 KiB soft filemarks, no checksums at all, descriptor blocks
  // without streams, a private padding stream that leaves STAN off the
  // 4-byte grid, and an XML catalogue after the last set.
  kOtherWriter,
};

// One piece of a sparse file: the bytes found at `offset` in the file.
struct SparsePiece {
  std::uint64_t offset = 0;
  std::string data{};
};

// A named alternate data stream of a file.
struct AlternateStream {
  std::u16string name{};
  std::string data{};
};

// A file as a real writer stores it, for the styled writers.
struct RealFile {
  std::u16string name{};
  std::string data{};
  PackedDate modified{};
  PackedDate created{2006, 1, 2, 3, 4, 5};
  PackedDate accessed{};  // the Windows utility often stores the modification time here
  std::u16string shortName{};  // the 8.3 name, when the long name needs one
  std::uint32_t windowsAttributes = 0x20;  // archive
  std::size_t securityDescriptorSize = 150;  // a home computer's; file servers have over 1 KiB
  bool checksummed = true;  // a CSUM stream after the data
  bool wrongChecksum = false;  // the CSUM value inverted, as damage would leave it
  bool objectId = false;  // an NTOI stream after the data
  // Extra media-format bits of the data stream: 0x0010 compressed, 0x0008 encrypted.
  std::uint16_t dataMediaAttributes = 0;
  bool encrypted = false;  // the data in an NTED stream instead of STAN
  // The name in an FNAM stream before the others, the name field empty.
  bool nameInStream = false;
  // Written in the order given, so that a test may give them out of order
  // or past the file's size; a file with pieces is written as sparse.
  std::vector<SparsePiece> sparse{};
  std::optional<std::uint64_t> sparseSize = std::nullopt;  // by default where the last piece ends
  std::optional<AlternateStream> alternate = std::nullopt;
};

// Where File() or FileWithStreams() put the parts of the last file, counted
// from the start of the output.
struct WrittenFile {
  std::size_t block = 0;
  std::optional<std::size_t> stanHeader{};  // the STAN or NTED header
  std::optional<std::size_t> data{};  // just after that header
  std::optional<std::size_t> csumHeader{};  // the data stream's CSUM
  std::vector<std::size_t> sparHeaders{};
  std::optional<std::size_t> adatHeader{};
};

}  // namespace tallowin::test
