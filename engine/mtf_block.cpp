#include "engine/mtf_block.h"

#include <algorithm>
#include <cstring>

#include "catalog/file_time.h"

namespace tallowin {
namespace {

std::uint8_t ByteAt(Bytes bytes, std::size_t offset) {
  return offset < bytes.size() ? std::to_integer<std::uint8_t>(bytes[offset]) : 0;
}

bool IdAt(Bytes bytes, std::size_t offset, const char* id) {
  return offset + 4 <= bytes.size() && std::memcmp(bytes.data() + offset, id, 4) == 0;
}

}  // namespace

FileTime DecodeMtfDate(Bytes block, std::size_t offset) {
  const unsigned b0 = ByteAt(block, offset), b1 = ByteAt(block, offset + 1),
                 b2 = ByteAt(block, offset + 2), b3 = ByteAt(block, offset + 3),
                 b4 = ByteAt(block, offset + 4);
  const int year = static_cast<int>((b0 << 6) | (b1 >> 2));
  const int month = static_cast<int>(((b1 & 3) << 2) | (b2 >> 6));
  const int day = static_cast<int>((b2 >> 1) & 31);
  const int hour = static_cast<int>(((b2 & 1) << 4) | (b3 >> 4));
  const int minute = static_cast<int>(((b3 & 15) << 2) | (b4 >> 6));
  const int second = static_cast<int>(b4 & 63);
  return FileTimeFromCalendar({year, month, day, hour, minute, second, 0}).value_or(0);
}

std::u16string ReadMtfString(Bytes block, std::uint16_t size, std::uint16_t offset, std::size_t limit) {
  std::u16string text;
  ReadMtfString(block, size, offset, limit, text);
  return text;
}

void ReadMtfString(Bytes block, std::uint16_t size, std::uint16_t offset, std::size_t limit, std::u16string& text) {
  text.clear();
  if (std::size_t{offset} + size > block.size()) return;
  const std::size_t units = std::min<std::size_t>(size / 2, limit);
  // The whole field lies within the block (checked above), so the units are
  // read without a bounds check per byte.
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data()) + offset;
  text.resize(units);
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    text[i] = unit == 0 ? u'\\' : unit;
  }
}

std::optional<std::size_t> FindDataStream(Bytes block, std::size_t limit) {
  const std::size_t end = std::min(limit, block.size() < 4 ? 0 : block.size() - 3);
  // memchr finds the candidates: a scan of many small files spends much of
  // its time here, and comparing at every byte was several times slower.
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  for (std::size_t j = 0; j < end; ++j) {
    const void* candidate = std::memchr(bytes + j, 'S', end - j);
    if (candidate == nullptr) break;
    j = static_cast<std::size_t>(static_cast<const unsigned char*>(candidate) - bytes);
    if (IdAt(block, j, "STAN")) {
      if (j + mtf::kStreamHeaderSize > block.size()) return std::nullopt;
      return j;
    }
  }
  return std::nullopt;
}

}  // namespace tallowin
