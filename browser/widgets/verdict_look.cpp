#include "browser/widgets/verdict_look.h"

#include <QList>
#include <QPainter>
#include <QPixmap>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

constexpr int kSize = 16;
constexpr int kTroubleMark = kFileVerdictCount;

const QList<QPixmap>& Pictures() {
  static const QList<QPixmap> pictures = pictures::CutStrip(pictures::kVerdicts, QSize(kSize, kSize), kFileVerdictCount + 1);
  return pictures;
}

}  // namespace

QString VerdictText(FileVerdict verdict) { return ToQString(desktop::kVerdictNames[static_cast<int>(verdict)]); }

QIcon VerdictIcon(FileVerdict verdict) { return QIcon(Pictures()[static_cast<int>(verdict)]); }

QVariant VerdictData(const RowVerdicts& verdicts, RowIndex row, int role) {
  if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole) return {};
  const RowVerdicts::Entry entry = verdicts.Read(row);
  if (!entry.verdict) return {};
  switch (role) {
    case Qt::DisplayRole: return VerdictText(*entry.verdict);
    case Qt::DecorationRole: return VerdictIcon(*entry.verdict);
    default:
      return entry.reason.empty() ? ToQString(desktop::kVerifiedTip) : QString::fromStdString(entry.reason);
  }
}

QIcon WithTroubleMark(const QIcon& folder) {
  QPixmap marked = folder.pixmap(kSize, kSize);
  QPainter painter(&marked);
  painter.drawPixmap(QRect(kSize / 2, kSize / 2, kSize / 2, kSize / 2), Pictures()[kTroubleMark]);
  return QIcon(marked);
}

}  // namespace tallowin
