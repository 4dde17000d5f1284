// The blocks of one writer's style, written into an MtfOutput: MtfWriter
// holds one of these for the style it was given.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tests/support/mtf_entries.h"
#include "tests/support/mtf_output.h"

namespace tallowin::test {

class StyleWriter {
 public:
  virtual ~StyleWriter() = default;
  virtual std::unique_ptr<StyleWriter> Clone() const = 0;

  virtual void Tape(MtfOutput& out) = 0;
  virtual void DataSet(MtfOutput& out, std::u16string_view name) = 0;
  virtual void Directory(MtfOutput& out, std::u16string_view path) = 0;
  virtual void DirectoryRaw(MtfOutput& out, std::u16string_view storedName) = 0;
  virtual void DirectoryWithPathStream(MtfOutput& out, std::u16string_view path) = 0;
  virtual WrittenFile File(MtfOutput& out, const FileEntry& file) = 0;
  virtual WrittenFile FileWithStreams(MtfOutput& out, const RealFile& file) = 0;
  virtual void EndOfSet(MtfOutput& out, CatalogueLayout layout) = 0;
  virtual void XmlCatalogue(MtfOutput& out) = 0;
  virtual void Block(MtfOutput& out, std::string_view id, std::uint16_t attributes) = 0;

  virtual std::size_t LogicalBlockSize() const = 0;
  virtual std::optional<std::size_t> LastSetCatalogue() const = 0;

 protected:
  StyleWriter() = default;
  StyleWriter(const StyleWriter&) = default;
  StyleWriter& operator=(const StyleWriter&) = default;
};

// Each component followed by NUL, as MTF stores a directory path.
inline std::u16string StoredPath(std::u16string_view path) {
  std::u16string stored(path);
  std::replace(stored.begin(), stored.end(), u'\\', u'\0');
  stored.push_back(u'\0');
  return stored;
}

}  // namespace tallowin::test
