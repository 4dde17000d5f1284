// What the Windows platform files share: full paths of any length, and the
// errno values that the portable code reasons with.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tallowin {

// The absolute form of `path` as Windows resolves it (relative to the
// current folder, "/" as "\", "." and ".." resolved), with the "\\?\"
// prefix that lifts the 260-character limit. Device paths ("\\.\") and paths
// that already have the prefix are kept as they are. Empty when the path
// cannot be resolved.
std::wstring ExtendedLengthPath(const std::filesystem::path& path);

// The errno value that stands for a Windows error code (GetLastError) or an
// NTSTATUS, so that the callers can tell "exists" and "not a folder" apart
// from other failures and print a reason; EIO for what has no counterpart.
int ErrnoFromWindowsError(unsigned long error);
int ErrnoFromNtStatus(long status);

// A UTF-8 name as Windows takes it.
std::wstring WideFromUtf8(std::string_view name);

// Gives the open file `file` the name `name` in the open folder `folder` (both
// HANDLEs; the file needs DELETE access). Without `replace`, an existing
// name is never replaced: EEXIST. Returns 0 or an errno value.
int RenameInFolder(void* file, void* folder, std::wstring_view name, bool replace);

}  // namespace tallowin
