// The minimal style: every block on the 512-byte grid with only the fields
// the engine reads, a FILE block's data right after its stream header. What
// the writer has always written, and what the bundled sample is made of.
#pragma once

#include "tests/support/style_writer.h"

namespace tallowin::test {

class MinimalWriter final : public StyleWriter {
 public:
  std::unique_ptr<StyleWriter> Clone() const override;

  void Tape(MtfOutput& out) override;
  void DataSet(MtfOutput& out, std::u16string_view name) override;
  void Directory(MtfOutput& out, std::u16string_view path) override;
  void DirectoryRaw(MtfOutput& out, std::u16string_view storedName) override;
  void DirectoryWithPathStream(MtfOutput& out, std::u16string_view path) override;
  WrittenFile File(MtfOutput& out, const FileEntry& file) override;
  WrittenFile FileWithStreams(MtfOutput& out, const RealFile& file) override;
  void EndOfSet(MtfOutput& out, CatalogueLayout layout) override;
  void XmlCatalogue(MtfOutput& out) override;
  void Block(MtfOutput& out, std::string_view id, std::uint16_t attributes) override;

  std::size_t LogicalBlockSize() const override;
  std::optional<std::size_t> LastSetCatalogue() const override { return std::nullopt; }

 private:
  // A block of at least `size` bytes on the grid, its id, attributes and
  // string type set; where it begins.
  static std::size_t BeginBlock(MtfOutput& out, std::string_view id, std::uint16_t attributes, std::size_t size);
};

}  // namespace tallowin::test
