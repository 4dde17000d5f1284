#include "common/desktop_file_types.h"

#include "common/mime_file_types.h"

namespace tallowin {

FileTypeInfo DesktopFileType(std::u16string_view extension) { return MimeFileType(extension); }

}  // namespace tallowin
