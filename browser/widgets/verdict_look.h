// How the lists show a row's verdict: its name and icon in the verdict
// column, its reason as a tooltip, and the mark on a folder below which lie
// damaged or incomplete files.
#pragma once

#include <QIcon>
#include <QString>
#include <QVariant>

#include "save/row_verdicts.h"

namespace tallowin {

QString VerdictText(FileVerdict verdict);
QIcon VerdictIcon(FileVerdict verdict);

// The verdict column's answer for `role`: the verdict's name, its icon, the
// reason as a tooltip; nothing for a row that has no verdict yet.
QVariant VerdictData(const RowVerdicts& verdicts, RowIndex row, int role);

// `folder` with the trouble mark in its lower right corner.
QIcon WithTroubleMark(const QIcon& folder);

}  // namespace tallowin
