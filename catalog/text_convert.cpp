#include "catalog/text_convert.h"

#include <cstdint>

#include "catalog/code_points.h"

namespace tallowin {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one well-formed UTF-8 sequence at `i`; returns its length, or 0.
std::size_t DecodeUtf8(std::string_view bytes, std::size_t i, char32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
  const std::uint8_t lead = byte(i);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    c = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  if (c < min || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) return 0;
  return length;
}

}  // namespace

std::u16string Utf16FromBytes(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c = 0;
    if (const std::size_t length = DecodeUtf8(bytes, i, c); length != 0) {
      AppendUtf16(out, c);
      i += length;
    } else {
      out.push_back(static_cast<char16_t>(0xDC00 + static_cast<std::uint8_t>(bytes[i])));
      ++i;
    }
  }
  return out;
}

std::string BytesFromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](const CodePoint& c) {
    if (c.lone && c.value >= 0xDC80 && c.value <= 0xDCFF) {
      out.push_back(static_cast<char>(c.value - 0xDC00));
    } else {
      AppendUtf8(out, c.lone ? kReplacement : c.value);
    }
  });
  return out;
}

std::string Utf8ForDisplay(std::u16string_view text) {
  // Most text is ASCII, a byte a unit: that part is copied as it is.
  std::size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
  std::string out(ascii, '\0');
  for (std::size_t i = 0; i < ascii; ++i) out[i] = static_cast<char>(text[i]);
  if (ascii == text.size()) return out;
  out.reserve(text.size() + (text.size() - ascii) * 2);
  ForEachCodePoint(text.substr(ascii),
                   [&](const CodePoint& c) { AppendUtf8(out, c.lone ? kReplacement : c.value); });
  return out;
}

std::u16string Utf16FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return std::u16string(path.native().begin(), path.native().end());
#else
  return Utf16FromBytes(path.native());
#endif
}

std::filesystem::path PathFromUtf16(std::u16string_view text) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
  return std::filesystem::path(BytesFromUtf16(text));
#endif
}

std::filesystem::path PathFromUtf8(std::string_view text) {
#ifdef _WIN32
  return PathFromUtf16(Utf16FromBytes(text));
#else
  return std::filesystem::path(std::string(text));
#endif
}

}  // namespace tallowin
