// Conversions between the program's UTF-16 texts and the platform's byte
// strings. File names on POSIX systems are bytes that need not be UTF-8; a
// byte that is not part of valid UTF-8 becomes a lone surrogate U+DC80..U+DCFF
// so that every file name survives the round trip through a UTF-16 text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tallowin {

std::u16string Utf16FromBytes(std::string_view bytes);
std::string BytesFromUtf16(std::u16string_view text);

// UTF-8 for showing to a person: lone surrogates become U+FFFD.
std::string Utf8ForDisplay(std::u16string_view text);

std::u16string Utf16FromPath(const std::filesystem::path& path);
std::filesystem::path PathFromUtf16(std::u16string_view text);
// The path that text of the command line names: its bytes as they are on
// POSIX systems, UTF-8 made UTF-16 on Windows (never the ANSI code page).
std::filesystem::path PathFromUtf8(std::string_view text);

}  // namespace tallowin
