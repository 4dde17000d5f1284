// Where a recovery snapshot goes: the save dialog, in the folder of the last
// snapshot (at first the BKF file's own) with the BKF file's name, and the
// program's own questions about the file chosen. The BKF file itself, a
// folder or a device are refused; an existing file is replaced only when the
// user says so.
#pragma once

#include <filesystem>
#include <optional>

#include <QString>

class QWidget;

namespace tallowin {

std::optional<QString> ChooseSnapshotTarget(QWidget* owner, const std::filesystem::path& bkfPath);

}  // namespace tallowin
