#include "browser/widgets/file_dialog.h"

#include <QFileInfo>
#include <QSettings>

#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

QString ExecDialog(CNKFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

FileDialogRoutine& CurrentFileDialogRoutine() {
  static FileDialogRoutine routine = ExecDialog;
  return routine;
}

QStringList NameFiltersFromPairs(const QString& pairs) {
  const QStringList parts = pairs.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    // The caption already names the pattern; Qt takes it from the parentheses.
    const QString caption = parts[i].trimmed();
    filters.append(caption.contains(u'(') ? caption : caption + " (" + parts[i + 1] + ")");
  }
  return filters;
}

QString RunFileDialog(CNKFileDialog& dialog) { return CurrentFileDialogRoutine()(dialog); }

QString LastFolder(const QString& kind) { return QSettings().value("Dialogs/" + kind).toString(); }

void KeepLastFolder(const QString& kind, const QString& chosen) {
  if (chosen.isEmpty()) return;
  const QFileInfo info(chosen);
  QSettings().setValue("Dialogs/" + kind, info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

QString ChooseExistingFile(QWidget* owner, std::u16string_view title, std::u16string_view filter, const QString& kind) {
  CNKFileDialog dialog(owner, ToQString(title));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(NameFiltersFromPairs(ToQString(filter)));
  if (const QString folder = LastFolder(kind); !folder.isEmpty()) dialog.setDirectory(folder);
  const QString chosen = RunFileDialog(dialog);
  KeepLastFolder(kind, chosen);
  return chosen;
}

}  // namespace tallowin
