// A small Microsoft Tape Format writer for tests, benchmarks and the bundled
// sample: it lays out tape, data set, directory and file blocks on the 512-byte
// grid so that each test can state its input plainly, and damage is then
// applied to the bytes by hand.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallowin::test {

struct PackedDate {
  int year = 2007, month = 5, day = 12, hour = 14, minute = 30, second = 45;
};

std::array<std::byte, 5> PackDate(const PackedDate& date);

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

class MtfWriter {
 public:
  MtfWriter& Tape();
  MtfWriter& DataSet(std::u16string_view name);
  // The stored name is `path` with every backslash turned into NUL and one
  // NUL at the end, as MTF stores directory paths ("Docs\A" gives Docs NUL A NUL).
  MtfWriter& Directory(std::u16string_view path);
  // The stored name exactly as given.
  MtfWriter& DirectoryRaw(std::u16string_view storedName);
  MtfWriter& File(const FileEntry& file);
  MtfWriter& EndOfSet();
  // Blocks that a scan passes over.
  MtfWriter& Block(std::string_view id, std::uint16_t attributes = 0);
  MtfWriter& Raw(std::string_view bytes);
  // Zero bytes up to `size` (nothing when already that long).
  MtfWriter& PadTo(std::size_t size);
  // Zero bytes up to the next multiple of 512.
  MtfWriter& Align();

  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::byte>& Bytes() { return bytes_; }
  const std::vector<std::byte>& Bytes() const { return bytes_; }
  std::string String() const;
  void WriteTo(const std::filesystem::path& path) const;

  // Where File() put the last file's data, for tests that check offsets.
  std::size_t LastDataOffset() const { return lastDataOffset_; }

 private:
  std::size_t BeginBlock(std::string_view id, std::uint16_t attributes, std::size_t size);
  void PutU16(std::size_t at, std::uint16_t value);
  void PutU64(std::size_t at, std::uint64_t value);
  void PutText(std::size_t at, std::u16string_view text);
  void FinishHeader(std::size_t block, std::uint16_t firstEvent);

  std::vector<std::byte> bytes_;
  std::size_t lastDataOffset_ = 0;
};

}  // namespace tallowin::test
