// The program's UTF-16 texts and Qt's strings are the same code units, lone
// surrogates included, so the conversions copy without decoding.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include <QString>

namespace tallowin {

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}

// A path as the user typed or chose it, in the platform's file-name bytes.
std::filesystem::path PathFromQString(const QString& text);
QString QStringFromPath(const std::filesystem::path& path);

}  // namespace tallowin
