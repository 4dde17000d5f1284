// The bytes that the test MTF writer has written so far, and the plain ways
// of adding to them and changing them: little-endian fields, padding to a
// grid, header checksums.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/mtf_entries.h"

namespace tallowin::test {

inline std::size_t RoundUp(std::size_t value, std::size_t to) { return (value + to - 1) / to * to; }

std::array<std::byte, 5> PackDate(const PackedDate& date);

// UTF-16LE, low byte first, as MTF strings and the program's text files hold it.
std::string Utf16Le(std::u16string_view text);

// A little-endian 16-bit value of written bytes.
std::uint16_t U16At(std::span<const std::byte> bytes, std::size_t at);

class MtfOutput {
 public:
  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::byte>& Bytes() { return bytes_; }
  const std::vector<std::byte>& Bytes() const { return bytes_; }
  // How many bytes TakeBytes() has taken before Bytes().
  std::size_t Taken() const { return taken_; }
  // The bytes written so far, for a caller that writes a large file piece
  // by piece: the writer goes on where they end, its positions counted from
  // the start of the whole. They must end on the 512-byte grid.
  std::vector<std::byte> TakeBytes();
  std::string String() const;
  void WriteTo(const std::filesystem::path& path) const;

  // `count` zero bytes at the end; where they begin.
  std::size_t Append(std::size_t count);
  // Zero bytes up to `size` (nothing when already that long).
  void PadTo(std::size_t size);
  void AlignTo(std::size_t multiple);
  void Raw(std::string_view bytes);

  void PutId(std::size_t at, std::string_view id);  // its first four characters at most
  void PutU8(std::size_t at, std::uint8_t value);
  void PutU16(std::size_t at, std::uint16_t value);
  void PutU32(std::size_t at, std::uint32_t value);
  void PutU64(std::size_t at, std::uint64_t value);
  void PutText(std::size_t at, std::u16string_view text);
  void PutDate(std::size_t at, const PackedDate& date);
  // `size` bytes of `value`, low byte first, each within the bytes.
  void Patch(std::size_t at, std::uint64_t value, std::size_t size);
  void Zero(std::size_t at, std::size_t size);
  void Copy(std::size_t from, std::size_t to, std::size_t size);
  void Cut(std::size_t size);

  // The offset to the first event and the header checksum, as a real
  // writer leaves them.
  void FinishHeader(std::size_t block, std::uint16_t firstEvent);
  // The checksum of the block header or stream header at `header` made to
  // match its fields again.
  void SealBlockHeader(std::size_t header);
  void SealStreamHeader(std::size_t header);

  // The value of a CSUM stream: the data as little-endian 32-bit words
  // XORed together, a short last word filled with zero bytes.
  static std::uint32_t DataChecksum(std::string_view data);
  // The XOR of the 25 words of the block header at `at` / of the 10 words
  // of the stream header at `at`, as their checksum fields should hold.
  static std::uint16_t HeaderChecksum(std::span<const std::byte> bytes, std::size_t at);
  static std::uint16_t StreamHeaderChecksum(std::span<const std::byte> bytes, std::size_t at);
  static bool HeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at);
  static bool StreamHeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at);

 private:
  std::vector<std::byte> bytes_;
  std::size_t taken_ = 0;
};

}  // namespace tallowin::test
