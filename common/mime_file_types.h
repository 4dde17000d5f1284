// The desktop's type descriptions and icon names for catalogue rows, from the
// freedesktop.org MIME database through Qt.
#pragma once

#include "catalog/file_types.h"

namespace tallowin {

// Asks the MIME database about "file.<extension>" (the name alone, never the
// disk); unknown extensions fall back to GenericFileType.
FileTypeInfo MimeFileType(std::u16string_view extension);

}  // namespace tallowin
