// The catalogue that a backup writes at the end of each data set: a "TFDD"
// stream after the ESET block that repeats, in block order, every volume,
// folder and file block of the set with its name, size, dates and place.
// Damage that takes a FILE block rarely takes this too, so it names files
// whose blocks are gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalog/number_text.h"
#include "engine/bkf_file.h"
#include "engine/mtf_block.h"

namespace tallowin {

namespace mtf {
// An entry of the catalogue: its length, type, place and size.
inline constexpr std::size_t kEntryLength = 0;
inline constexpr std::size_t kEntryType = 2;
inline constexpr std::size_t kEntryLogicalAddress = 12;
inline constexpr std::size_t kEntrySize = 20;
inline constexpr std::size_t kEntryHeaderSize = 36;
// Folder and file entries.
inline constexpr std::size_t kEntryModifiedDate = 36;
inline constexpr std::size_t kEntryCreatedDate = 41;
inline constexpr std::size_t kEntryAccessedDate = 51;
inline constexpr std::size_t kEntryNameSize = 60;
inline constexpr std::size_t kEntryNameOffset = 62;
// The catalogue lies this far after its ESET block at most.
inline constexpr std::uint64_t kSetCatalogueBound = 65536;
}  // namespace mtf

// Where a catalogue's entries lie in the BKF file: [begin, end).
struct SetCatalogueSpan {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

// The catalogue of the ESET block at `site`: the "TFDD" stream its first
// event leads to, else the first one at a format logical block boundary
// after it (`logicalBlock` apart) within kSetCatalogueBound bytes. Its bytes
// end with the stream or with the file. Nothing when there is none.
std::optional<SetCatalogueSpan> FindSetCatalogue(const BlockSite& site, BkfReader& file, std::uint64_t fileSize,
                                                 std::uint64_t logicalBlock);

struct SetCatalogueEntry {
  enum class Kind : std::uint8_t { kVolume, kFolder, kFile };
  Kind kind = Kind::kVolume;
  std::uint64_t logicalAddress = 0;
  std::uint64_t size = 0;
  Bytes bytes;  // the whole entry, until the reader reads the next

  // A folder's whole path or a file's name, NULs turned into backslashes;
  // empty when it runs past the entry. Read only for the entries that are
  // used: most of a million are not.
  std::u16string Name() const;
  FileTime Modified() const;
  FileTime Created() const;
  FileTime Accessed() const;
};

// Reads the entries in order, a buffer's worth at a time.
class SetCatalogueReader {
 public:
  SetCatalogueReader(BkfReader& file, SetCatalogueSpan span);

  // The next entry; false at "FEND", at an unknown type, at a length below
  // the entry header's or at an entry that runs past the stream (or past
  // what the file gives).
  bool Next(SetCatalogueEntry& entry);

 private:
  // True when the `count` bytes from the read position are in the buffer.
  bool Have(std::size_t count);

  BkfReader& file_;
  std::uint64_t position_;
  std::uint64_t end_;
  std::vector<std::byte> buffer_;
  std::uint64_t bufferStart_ = 0;
  std::size_t bufferFilled_ = 0;
};

}  // namespace tallowin
