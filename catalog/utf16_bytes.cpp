#include "catalog/utf16_bytes.h"

namespace tallowin {

void AppendUtf16Le(std::string& bytes, std::u16string_view text) {
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
}

std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  AppendUtf16Le(bytes, text);
  return bytes;
}

}  // namespace tallowin
