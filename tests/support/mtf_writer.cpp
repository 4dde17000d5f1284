#include "tests/support/mtf_writer.h"

#include <stdexcept>

#include "engine/mtf_block.h"
#include "tests/support/minimal_writer.h"
#include "tests/support/styled_writer.h"

namespace tallowin::test {
namespace {

std::unique_ptr<StyleWriter> WriterFor(WriterStyle style, std::size_t logicalBlock) {
  if (style == WriterStyle::kMinimal) return std::make_unique<MinimalWriter>();
  return std::make_unique<StyledWriter>(style, logicalBlock);
}

}  // namespace

MtfWriter::MtfWriter(WriterStyle style) : style_(WriterFor(style, 0)) {}

MtfWriter::MtfWriter(WriterStyle style, std::size_t logicalBlock) {
  if (style == WriterStyle::kMinimal || logicalBlock == 0) {
    throw std::invalid_argument("a styled writer with a multiple of 512 as its block");
  }
  style_ = WriterFor(style, logicalBlock);
}

MtfWriter::MtfWriter(const MtfWriter& other)
    : MtfOutput(other), style_(other.style_->Clone()), lastFile_(other.lastFile_) {}

MtfWriter& MtfWriter::operator=(const MtfWriter& other) {
  if (this != &other) *this = MtfWriter(other);
  return *this;
}

MtfWriter::~MtfWriter() = default;

MtfWriter& MtfWriter::Tape() {
  style_->Tape(*this);
  return *this;
}

MtfWriter& MtfWriter::DataSet(std::u16string_view name) {
  style_->DataSet(*this, name);
  return *this;
}

MtfWriter& MtfWriter::Directory(std::u16string_view path) {
  style_->Directory(*this, path);
  return *this;
}

MtfWriter& MtfWriter::DirectoryRaw(std::u16string_view storedName) {
  style_->DirectoryRaw(*this, storedName);
  return *this;
}

MtfWriter& MtfWriter::DirectoryWithPathStream(std::u16string_view path) {
  style_->DirectoryWithPathStream(*this, path);
  return *this;
}

MtfWriter& MtfWriter::File(const FileEntry& file) {
  lastFile_ = style_->File(*this, file);
  return *this;
}

MtfWriter& MtfWriter::FileWithStreams(const RealFile& file) {
  lastFile_ = style_->FileWithStreams(*this, file);
  return *this;
}

MtfWriter& MtfWriter::EndOfSet(CatalogueLayout layout) {
  style_->EndOfSet(*this, layout);
  return *this;
}

MtfWriter& MtfWriter::XmlCatalogue() {
  style_->XmlCatalogue(*this);
  return *this;
}

MtfWriter& MtfWriter::Block(std::string_view id, std::uint16_t attributes) {
  style_->Block(*this, id, attributes);
  return *this;
}

MtfWriter& MtfWriter::Raw(std::string_view bytes) {
  MtfOutput::Raw(bytes);
  return *this;
}

MtfWriter& MtfWriter::PadTo(std::size_t size) {
  MtfOutput::PadTo(size);
  return *this;
}

MtfWriter& MtfWriter::Align() {
  AlignTo(kBlockSize);
  return *this;
}

MtfWriter& MtfWriter::ZeroCluster(std::size_t at, std::size_t size) {
  Zero(at, size);
  return *this;
}

MtfWriter& MtfWriter::CopyCluster(std::size_t from, std::size_t to, std::size_t size) {
  Copy(from, to, size);
  return *this;
}

MtfWriter& MtfWriter::Cut(std::size_t size) {
  MtfOutput::Cut(size);
  return *this;
}

MtfWriter& MtfWriter::Patch(std::size_t at, std::uint64_t value, std::size_t size) {
  MtfOutput::Patch(at, value, size);
  return *this;
}

MtfWriter& MtfWriter::ResealBlock(std::size_t header) {
  SealBlockHeader(header);
  return *this;
}

MtfWriter& MtfWriter::ResealStream(std::size_t header) {
  SealStreamHeader(header);
  return *this;
}

}  // namespace tallowin::test
