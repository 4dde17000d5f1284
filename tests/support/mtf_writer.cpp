#include "tests/support/mtf_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace tallowin::test {
namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kCommonHeaderSize = 52;
constexpr std::size_t kFirstEventOffset = 8;
constexpr std::size_t kStringType = 48;
constexpr std::size_t kChecksum = 50;

std::size_t RoundUp(std::size_t value, std::size_t to) { return (value + to - 1) / to * to; }

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

std::size_t MtfWriter::BeginBlock(std::string_view id, std::uint16_t attributes, std::size_t size) {
  Align();
  const std::size_t at = bytes_.size();
  bytes_.resize(at + RoundUp(std::max(size, kCommonHeaderSize), kBlock));
  for (std::size_t i = 0; i < 4 && i < id.size(); ++i) bytes_[at + i] = std::byte(id[i]);
  PutU16(at + 4, attributes);
  bytes_[at + kStringType] = std::byte{2};  // UTF-16
  return at;
}

void MtfWriter::PutU16(std::size_t at, std::uint16_t value) {
  bytes_[at] = std::byte(static_cast<std::uint8_t>(value));
  bytes_[at + 1] = std::byte(static_cast<std::uint8_t>(value >> 8));
}

void MtfWriter::PutU64(std::size_t at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes_[at + i] = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void MtfWriter::PutText(std::size_t at, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) PutU16(at + 2 * i, text[i]);
}

// The offset to the first event and the header checksum (the XOR of the
// header's first 25 words), as a real writer leaves them.
void MtfWriter::FinishHeader(std::size_t block, std::uint16_t firstEvent) {
  PutU16(block + kFirstEventOffset, firstEvent);
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < kChecksum; i += 2) {
    checksum ^= static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes_[block + i]) |
                                           (std::to_integer<unsigned>(bytes_[block + i + 1]) << 8));
  }
  PutU16(block + kChecksum, checksum);
}

MtfWriter& MtfWriter::Tape() {
  const std::size_t at = BeginBlock("TAPE", 0, 1024);
  FinishHeader(at, 1024);
  return *this;
}

MtfWriter& MtfWriter::DataSet(std::u16string_view name) {
  constexpr std::size_t kName = 128;
  const std::size_t at = BeginBlock("SSET", 0, kName + 2 * name.size());
  PutU16(at + 64, static_cast<std::uint16_t>(2 * name.size()));
  PutU16(at + 66, kName);
  PutText(at + kName, name);
  FinishHeader(at, static_cast<std::uint16_t>(RoundUp(kName + 2 * name.size(), 4)));
  return *this;
}

MtfWriter& MtfWriter::Directory(std::u16string_view path) {
  std::u16string stored(path);
  std::replace(stored.begin(), stored.end(), u'\\', u'\0');
  stored.push_back(u'\0');
  return DirectoryRaw(stored);
}

MtfWriter& MtfWriter::DirectoryRaw(std::u16string_view storedName) {
  constexpr std::size_t kName = 96;
  const std::size_t at = BeginBlock("DIRB", 0, kName + 2 * storedName.size());
  PutU16(at + 80, static_cast<std::uint16_t>(2 * storedName.size()));
  PutU16(at + 82, kName);
  PutText(at + kName, storedName);
  FinishHeader(at, static_cast<std::uint16_t>(RoundUp(kName + 2 * storedName.size(), 4)));
  return *this;
}

MtfWriter& MtfWriter::File(const FileEntry& file) {
  constexpr std::size_t kName = 96;
  const std::size_t nameBytes = 2 * file.name.size();
  const std::size_t stream = file.streamOffset.value_or(RoundUp(kName + nameBytes, 4));
  const auto overlaps = [&](std::size_t begin, std::size_t end) {
    return stream < end && begin < stream + 22;
  };
  if (overlaps(0, 6) || overlaps(56, 88) || overlaps(kName, kName + nameBytes)) {
    throw std::invalid_argument("stream header would overlap the FILE block fields");
  }
  const std::size_t at = BeginBlock("FILE", file.attributes, stream + 22 + file.data.size());
  const auto putDate = [&](std::size_t offset, const PackedDate& date) {
    const auto packed = PackDate(date);
    std::copy(packed.begin(), packed.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at + offset));
  };
  putDate(56, file.modified);
  putDate(61, file.created);
  putDate(66, PackedDate{2009, 1, 1, 0, 0, 0});
  putDate(71, file.accessed);
  PutU16(at + 84, static_cast<std::uint16_t>(nameBytes));
  PutU16(at + 86, kName);
  PutText(at + kName, file.name);
  FinishHeader(at, static_cast<std::uint16_t>(stream));
  for (std::size_t i = 0; i < 4; ++i) bytes_[at + stream + i] = std::byte("STAN"[i]);
  PutU64(at + stream + 8, file.declaredLength.value_or(file.data.size()));
  lastDataOffset_ = at + stream + 22;
  for (std::size_t i = 0; i < file.data.size(); ++i) {
    bytes_[lastDataOffset_ + i] = std::byte(static_cast<std::uint8_t>(file.data[i]));
  }
  return *this;
}

MtfWriter& MtfWriter::EndOfSet() { return Block("ESET"); }

MtfWriter& MtfWriter::Block(std::string_view id, std::uint16_t attributes) {
  FinishHeader(BeginBlock(id, attributes, kBlock), kBlock);
  return *this;
}

MtfWriter& MtfWriter::Raw(std::string_view bytes) {
  for (const char c : bytes) bytes_.push_back(std::byte(static_cast<std::uint8_t>(c)));
  return *this;
}

MtfWriter& MtfWriter::PadTo(std::size_t size) {
  if (bytes_.size() < size) bytes_.resize(size);
  return *this;
}

MtfWriter& MtfWriter::Align() { return PadTo(RoundUp(bytes_.size(), kBlock)); }

std::string MtfWriter::String() const {
  std::string out(bytes_.size(), '\0');
  std::transform(bytes_.begin(), bytes_.end(), out.begin(),
                 [](std::byte b) { return static_cast<char>(b); });
  return out;
}

void MtfWriter::WriteTo(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace tallowin::test
