#include "common/mime_file_types.h"

#include <QMimeDatabase>
#include <QString>

namespace tallowin {

FileTypeInfo MimeFileType(std::u16string_view extension) {
  if (extension.empty()) return GenericFileType(extension);
  const QString probe = QStringLiteral("file.") +
                        QString::fromUtf16(extension.data(), static_cast<qsizetype>(extension.size()));
  const QMimeType type = QMimeDatabase().mimeTypeForFile(probe, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return GenericFileType(extension);
  return {type.comment().toStdU16String(), type.iconName().toStdString()};
}

}  // namespace tallowin
