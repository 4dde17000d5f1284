// The one place where catalogue names become names on disk. Whatever a BKF
// file or a snapshot holds, the result is a single, valid name for one folder
// level: it can never climb out of the folder it is created in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tallowin {

enum class NameRules {
  kPosix,    // "/" and NUL are forbidden; names are at most 255 bytes of UTF-8
  kWindows,  // also <>:"\|?*, trailing dots and spaces, and device names
#ifdef _WIN32
  kNative = kWindows,
#else
  kNative = kPosix,
#endif
};

inline constexpr std::size_t kMaxNameBytes = 255;

// An empty component, "." or ".." gets a leading "_"; "/", NUL and control
// characters become "_"; unpaired surrogates become U+FFFD; a name too long
// for the file system is shortened, keeping its extension. UTF-8 result.
std::string SafeName(std::u16string_view component, NameRules rules = NameRules::kNative);

// The name for the n-th (n >= 2) holder of the same name: " (n)" goes before
// the extension of a file and after the name of a folder, and the whole
// still fits the length limit.
std::string NumberedFileName(const std::string& safeName, int n);
std::string NumberedFolderName(const std::string& safeName, int n);

// The hidden name a file is written under until it is complete:
// ".name.twbkf-part", and ".name.twbkf-part-n" for the n-th (n >= 2) try.
std::string PartName(const std::string& safeName, int n);

}  // namespace tallowin
