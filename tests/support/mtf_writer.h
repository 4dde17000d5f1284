// A small Microsoft Tape Format writer for tests, benchmarks and the bundled
// sample: it lays out tape, data set, directory and file blocks on the 512-byte
// grid so that each test can state its input plainly, and damage is then
// applied to the bytes by hand.
//
// Given a WriterStyle other than kMinimal it writes files laid out as two real
// writers lay them out (see WriterStyle), so that the engine is also tried on
// the shapes it meets in the field. Each style has a writer of its own
// (MinimalWriter, StyledWriter); this one holds the bytes and the damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "tests/support/mtf_entries.h"
#include "tests/support/mtf_output.h"
#include "tests/support/style_writer.h"

namespace tallowin::test {

class MtfWriter : private MtfOutput {
 public:
  explicit MtfWriter(WriterStyle style = WriterStyle::kMinimal);
  // A styled writer with another format logical block than its own (the
  // Windows utility with 512-byte blocks, as some of its files have).
  MtfWriter(WriterStyle style, std::size_t logicalBlock);
  MtfWriter(const MtfWriter& other);
  MtfWriter& operator=(const MtfWriter& other);
  MtfWriter(MtfWriter&&) noexcept = default;
  MtfWriter& operator=(MtfWriter&&) noexcept = default;
  ~MtfWriter();

  // In the styled writers also the first soft filemark.
  MtfWriter& Tape();
  // In the styled writers the data set block and then a volume block.
  MtfWriter& DataSet(std::u16string_view name);
  // The stored name is `path` with every backslash turned into NUL and one
  // NUL at the end, as MTF stores directory paths ("Docs\A" gives Docs NUL A NUL).
  // The Windows utility puts a path longer than StyledWriter::kLongPath
  // units in a PNAM stream and leaves the name field empty.
  MtfWriter& Directory(std::u16string_view path);
  // The stored name exactly as given.
  MtfWriter& DirectoryRaw(std::u16string_view storedName);
  // The path in a PNAM stream whatever its length (Windows utility only).
  MtfWriter& DirectoryWithPathStream(std::u16string_view path);
  // In the styled writers the name, data and dates become a RealFile; the
  // layout fields (streamOffset, declaredLength, attributes) are refused.
  MtfWriter& File(const FileEntry& file);
  // A file with all its streams, as the style's writer stores it; styled
  // writers only.
  MtfWriter& FileWithStreams(const RealFile& file);
  // In the Windows utility's style: soft filemark, ESET with the set's
  // catalogue (every volume, folder and file block of the set in block
  // order) and the map of the sets, soft filemark; in the other writer's:
  // soft filemark, ESET, soft filemark.
  MtfWriter& EndOfSet(CatalogueLayout layout = CatalogueLayout::kInEndOfSet);
  // The other writer's catalogue of every set written so far: a UTF-16
  // XML text starting on the block grid.
  MtfWriter& XmlCatalogue();
  // Blocks that a scan passes over; on the style's block grid.
  MtfWriter& Block(std::string_view id, std::uint16_t attributes = 0);
  MtfWriter& Raw(std::string_view bytes);
  // Zero bytes up to `size` (nothing when already that long).
  MtfWriter& PadTo(std::size_t size);
  // Zero bytes up to the next multiple of 512.
  MtfWriter& Align();

  // Damage as copies over networks and failing disks leave it: a cluster
  // (4 KiB by default) of zeros, a cluster that holds a copy of another,
  // a file cut short.
  static constexpr std::size_t kCluster = 4096;
  MtfWriter& ZeroCluster(std::size_t at, std::size_t size = kCluster);
  MtfWriter& CopyCluster(std::size_t from, std::size_t to, std::size_t size = kCluster);
  MtfWriter& Cut(std::size_t size);
  // A field changed as a writer would have written it: the checksum of the
  // block header or stream header at `header` made to match again.
  MtfWriter& Patch(std::size_t at, std::uint64_t value, std::size_t size);
  MtfWriter& ResealBlock(std::size_t header);
  MtfWriter& ResealStream(std::size_t header);

  using MtfOutput::Bytes;
  using MtfOutput::Size;
  using MtfOutput::String;
  using MtfOutput::TakeBytes;
  using MtfOutput::WriteTo;

  // Where File() put the last file's data, for tests that check offsets
  // (0 when the last file has no data stream; LastFile() has the rest).
  std::size_t LastDataOffset() const { return lastFile_.data.value_or(0); }
  const WrittenFile& LastFile() const { return lastFile_; }
  // Where the last set's catalogue stream ("TFDD") begins, once written.
  std::optional<std::size_t> LastSetCatalogue() const { return style_->LastSetCatalogue(); }
  // The format logical block: every styled block starts on a multiple of it.
  std::size_t LogicalBlockSize() const { return style_->LogicalBlockSize(); }

  using MtfOutput::DataChecksum;
  using MtfOutput::HeaderChecksum;
  using MtfOutput::HeaderChecksumValid;
  using MtfOutput::StreamHeaderChecksum;
  using MtfOutput::StreamHeaderChecksumValid;

 private:
  std::unique_ptr<StyleWriter> style_;
  WrittenFile lastFile_{};
};

}  // namespace tallowin::test
