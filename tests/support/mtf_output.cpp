#include "tests/support/mtf_output.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "engine/mtf_stream.h"

namespace tallowin::test {
namespace {

std::uint16_t XorWords(std::span<const std::byte> bytes, std::size_t at, std::size_t words) {
  if (at + 2 * words > bytes.size()) throw std::out_of_range("header beyond the bytes");
  std::uint16_t value = 0;
  for (std::size_t i = 0; i < 2 * words; i += 2) {
    value ^= static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at + i]) |
                                        (std::to_integer<unsigned>(bytes[at + i + 1]) << 8));
  }
  return value;
}

}  // namespace

std::array<std::byte, 5> PackDate(const PackedDate& d) {
  const auto y = static_cast<unsigned>(d.year), mo = static_cast<unsigned>(d.month),
             da = static_cast<unsigned>(d.day), h = static_cast<unsigned>(d.hour),
             mi = static_cast<unsigned>(d.minute), s = static_cast<unsigned>(d.second);
  return {std::byte(static_cast<std::uint8_t>(y >> 6)),
          std::byte(static_cast<std::uint8_t>(((y & 63) << 2) | (mo >> 2))),
          std::byte(static_cast<std::uint8_t>(((mo & 3) << 6) | (da << 1) | (h >> 4))),
          std::byte(static_cast<std::uint8_t>(((h & 15) << 4) | (mi >> 2))),
          std::byte(static_cast<std::uint8_t>(((mi & 3) << 6) | s))};
}

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::uint16_t U16At(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) | std::to_integer<unsigned>(bytes[at + 1]) << 8);
}

std::vector<std::byte> MtfOutput::TakeBytes() {
  if (taken_ % kBlockSize != 0 || bytes_.size() % kBlockSize != 0) {
    throw std::logic_error("bytes taken off the block grid");
  }
  taken_ += bytes_.size();
  return std::exchange(bytes_, {});
}

std::string MtfOutput::String() const {
  std::string out(bytes_.size(), '\0');
  std::transform(bytes_.begin(), bytes_.end(), out.begin(), [](std::byte b) { return static_cast<char>(b); });
  return out;
}

void MtfOutput::WriteTo(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::size_t MtfOutput::Append(std::size_t count) {
  const std::size_t at = bytes_.size();
  bytes_.resize(at + count);
  return at;
}

void MtfOutput::PadTo(std::size_t size) {
  if (bytes_.size() < size) bytes_.resize(size);
}

void MtfOutput::AlignTo(std::size_t multiple) { PadTo(RoundUp(bytes_.size(), multiple)); }

void MtfOutput::Raw(std::string_view bytes) {
  for (const char c : bytes) bytes_.push_back(std::byte(static_cast<std::uint8_t>(c)));
}

void MtfOutput::PutId(std::size_t at, std::string_view id) {
  for (std::size_t i = 0; i < 4 && i < id.size(); ++i) bytes_[at + i] = std::byte(id[i]);
}

void MtfOutput::PutU8(std::size_t at, std::uint8_t value) { bytes_[at] = std::byte{value}; }

void MtfOutput::PutU16(std::size_t at, std::uint16_t value) {
  bytes_[at] = std::byte(static_cast<std::uint8_t>(value));
  bytes_[at + 1] = std::byte(static_cast<std::uint8_t>(value >> 8));
}

void MtfOutput::PutU32(std::size_t at, std::uint32_t value) {
  PutU16(at, static_cast<std::uint16_t>(value));
  PutU16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

void MtfOutput::PutU64(std::size_t at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes_[at + i] = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void MtfOutput::PutText(std::size_t at, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) PutU16(at + 2 * i, text[i]);
}

void MtfOutput::PutDate(std::size_t at, const PackedDate& date) {
  const auto packed = PackDate(date);
  std::copy(packed.begin(), packed.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
}

void MtfOutput::Patch(std::size_t at, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) bytes_.at(at + i) = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void MtfOutput::Zero(std::size_t at, std::size_t size) {
  const std::size_t end = std::min(bytes_.size(), at + size);
  if (at < end) {
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(at), bytes_.begin() + static_cast<std::ptrdiff_t>(end),
              std::byte{0});
  }
}

void MtfOutput::Copy(std::size_t from, std::size_t to, std::size_t size) {
  if (from + size > bytes_.size() || to + size > bytes_.size()) throw std::out_of_range("cluster beyond the bytes");
  std::vector<std::byte> copy(bytes_.begin() + static_cast<std::ptrdiff_t>(from),
                              bytes_.begin() + static_cast<std::ptrdiff_t>(from + size));
  std::copy(copy.begin(), copy.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(to));
}

void MtfOutput::Cut(std::size_t size) {
  if (size < bytes_.size()) bytes_.resize(size);
}

void MtfOutput::FinishHeader(std::size_t block, std::uint16_t firstEvent) {
  PutU16(block + mtf::kFirstEventOffset, firstEvent);
  SealBlockHeader(block);
}

void MtfOutput::SealBlockHeader(std::size_t header) {
  PutU16(header + mtf::kHeaderChecksum, HeaderChecksum(bytes_, header));
}

void MtfOutput::SealStreamHeader(std::size_t header) {
  PutU16(header + mtf::kStreamChecksum, StreamHeaderChecksum(bytes_, header));
}

std::uint32_t MtfOutput::DataChecksum(std::string_view data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    value ^= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * (i % 4));
  }
  return value;
}

std::uint16_t MtfOutput::HeaderChecksum(std::span<const std::byte> bytes, std::size_t at) {
  return XorWords(bytes, at, mtf::kHeaderChecksum / 2);
}

std::uint16_t MtfOutput::StreamHeaderChecksum(std::span<const std::byte> bytes, std::size_t at) {
  return XorWords(bytes, at, mtf::kStreamChecksum / 2);
}

bool MtfOutput::HeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at) {
  return at + mtf::kCommonHeaderSize <= bytes.size() &&
         XorWords(bytes, at, mtf::kHeaderChecksum / 2) == XorWords(bytes, at + mtf::kHeaderChecksum, 1);
}

bool MtfOutput::StreamHeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at) {
  return at + mtf::kStreamHeaderSize <= bytes.size() &&
         XorWords(bytes, at, mtf::kStreamChecksum / 2) == XorWords(bytes, at + mtf::kStreamChecksum, 1);
}

}  // namespace tallowin::test
