// The type description that the desktop gives a file name, for the catalogue
// of the command line: the shell's on Windows, the MIME database's elsewhere.
#pragma once

#include "catalog/file_types.h"

namespace tallowin {

// Asks about "file.<extension>" (the name alone, never the disk); unknown
// extensions fall back to GenericFileType.
FileTypeInfo DesktopFileType(std::u16string_view extension);

}  // namespace tallowin
