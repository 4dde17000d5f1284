// The walk over UTF-16 text by code points that every reader of names
// shares: MTF names are UTF-16 that a damaged or odd backup may leave with
// a surrogate that has no partner, and each reader decides what such a
// unit becomes (a byte of a POSIX name, U+FFFD, an escape).
#pragma once

#include <cstddef>
#include <string_view>

namespace tallowin {

constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

struct CodePoint {
  char32_t value;              // the code point, or the lone surrogate itself
  std::u16string_view units;   // its one or two units in the text
  bool lone;                   // a surrogate without its partner
};

template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit&& visit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      visit(CodePoint{0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00), text.substr(i, 2), false});
      ++i;
    } else {
      visit(CodePoint{c, text.substr(i, 1), IsHighSurrogate(c) || IsLowSurrogate(c)});
    }
  }
}

}  // namespace tallowin
