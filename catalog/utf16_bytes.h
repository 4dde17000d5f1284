// UTF-16LE as the snapshot and the log store it: two bytes per code unit,
// low byte first, no byte-order mark.
#pragma once

#include <string>
#include <string_view>

namespace tallowin {

std::string Utf16LeBytes(std::u16string_view text);
void AppendUtf16Le(std::string& bytes, std::u16string_view text);

}  // namespace tallowin
