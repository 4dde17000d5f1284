// The program's own texts that the core hands to its front ends, each in
// exactly one place. The spelling is the program's and is kept as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowin::texts {

inline constexpr std::u16string_view kAppTitle = u"Tallowin for BKF";
inline constexpr std::u16string_view kOpenFailed =
    u"Some Error occoured while opening file. Make sure that file is not shared";
inline constexpr std::u16string_view kNoDataFound = u"No data found in backup file";
inline constexpr std::u16string_view kSearching = u"Searching file, please wait...";
inline constexpr std::u16string_view kSnapshotOpenFailed =
    u"Some problem occoured while opening file, make sure that file is not shared";

// "Progress : " position " \ " size, for example "Progress : 131072 \ 5000000".
std::u16string ProgressLabel(std::uint64_t position, std::uint64_t fileSize);
// "File(s) Found : " count.
std::u16string FilesFoundLabel(std::uint64_t count);
// position x 100 / size, truncated; 0 for an empty file.
int ProgressPercent(std::uint64_t position, std::uint64_t fileSize);

}  // namespace tallowin::texts
