#pragma once

#include <cstring>
#include <string_view>

namespace tallowin {

// Whether two texts are equal, compared as bytes: the standard comparison of
// char16_t texts goes unit by unit, and the catalogue does this for every row
// of a scan.
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

}  // namespace tallowin
