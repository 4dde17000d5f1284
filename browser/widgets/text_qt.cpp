#include "browser/widgets/text_qt.h"

#include "catalog/text_convert.h"

namespace tallowin {

std::filesystem::path PathFromQString(const QString& text) { return PathFromUtf16(ToU16(text)); }

QString QStringFromPath(const std::filesystem::path& path) { return ToQString(Utf16FromPath(path)); }

}  // namespace tallowin
