// The styles of two real writers (WriterStyle::kWindowsUtility and
// kOtherWriter): blocks on the style's format logical block, soft
// filemarks, a volume block per set, a file's security, data, checksum and
// padding streams, and the set's catalogue where the style keeps it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/style_writer.h"

namespace tallowin::test {

class StyledWriter final : public StyleWriter {
 public:
  // `logicalBlock` 0: the style's own format logical block.
  StyledWriter(WriterStyle style, std::size_t logicalBlock);
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
  std::optional<std::size_t> LastSetCatalogue() const override { return lastSetCatalogue_; }

  // The Windows utility puts a longer folder path in a PNAM stream.
  static constexpr std::size_t kLongPath = 255;

 private:
  struct CatalogueEntry {
    std::string_view tag;  // "VOLB", "DIRB" or "FILE"
    std::u16string name;
    std::uint64_t size = 0;
    std::size_t block = 0;
    std::uint32_t attributes = 0;
    PackedDate modified{}, created{}, accessed{};
  };
  struct SetRecord {
    std::u16string name;
    std::uint16_t number = 0;
    std::size_t block = 0;
    std::vector<CatalogueEntry> entries;
  };

  bool Windows() const { return style_ == WriterStyle::kWindowsUtility; }
  std::size_t BeginDescriptor(MtfOutput& out, std::string_view id, std::size_t fixedSize);
  void AppendTextField(MtfOutput& out, std::size_t block, std::size_t field, std::u16string_view text);
  std::size_t AppendOsData(MtfOutput& out, std::size_t block, std::size_t size);
  void SealHeader(MtfOutput& out, std::size_t block);
  std::size_t AppendStream(MtfOutput& out, std::string_view id, std::string_view content,
                           std::uint16_t fsAttributes = 0, std::uint16_t mediaAttributes = 0);
  std::size_t AppendStreamHere(MtfOutput& out, std::string_view id, std::string_view content,
                               std::uint16_t fsAttributes, std::uint16_t mediaAttributes);
  std::size_t AppendChecksum(MtfOutput& out, std::string_view content, bool wrong = false);
  void EndDescriptor(MtfOutput& out);

  void Volume(MtfOutput& out);
  void StyledDirectory(MtfOutput& out, std::u16string_view storedName, bool pathInStream);
  void FileStreams(MtfOutput& out, const RealFile& file, WrittenFile& written);
  void DataStream(MtfOutput& out, const RealFile& file, WrittenFile& written);
  void SoftFilemark(MtfOutput& out);
  void EndOfSetBlock(MtfOutput& out, CatalogueLayout layout);
  void SetCatalogueStream(MtfOutput& out);
  void SetMapStream(MtfOutput& out);
  void Record(CatalogueEntry entry);
  std::uint64_t LogicalAddress(const MtfOutput& out, std::size_t at) const;

  WriterStyle style_;
  std::size_t logicalBlock_ = 0;  // 0: the style's own
  std::optional<std::size_t> lastSetCatalogue_;
  std::vector<SetRecord> sets_;
  std::vector<std::size_t> softFilemarks_;
  // Directory and file ids count from 1 in each set; a file before any
  // directory block of its set has directory id 0.
  std::uint32_t directoryCount_ = 0;
  std::uint32_t fileCount_ = 0;
  std::uint32_t directoryId_ = 0;
  std::uint32_t controlBlockId_ = 0;
};

}  // namespace tallowin::test
