// What every report of the program offers: its text copied to the
// clipboard, or written into a text file the user names, which is replaced
// whole or not at all and is never the BKF file, a folder or a device.
#pragma once

#include <filesystem>

#include <QString>

class QWidget;

namespace tallowin {

void CopyReportText(const QString& text);
// Asks for a text file and writes `text` into it; `bkfPath` is the BKF file
// of the report, which is refused.
void SaveReportText(QWidget* owner, const QString& text, const std::filesystem::path& bkfPath);

}  // namespace tallowin
