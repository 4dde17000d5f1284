#include "browser/widgets/catalogue_note.h"

#include <QFileInfo>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"

namespace tallowin {

CatalogueNote NoteOnCatalogue(const RecoverySessionController& session) {
  if (!session.SnapshotPath().empty()) {
    if (session.StopAsked() && session.LoadPercent() < 100) {
      return {ToQString(desktop::LoadStoppedNote(session.LoadPercent())), true};
    }
    const QString name = QFileInfo(ToQString(session.SnapshotPath())).fileName();
    return {ToQString(desktop::LoadedNote(ToU16(name))), false};
  }
  const ScanTotals totals = session.Events().LastTotals();
  if (!totals.stopped) return {};
  const ScanEvents::Progress progress = session.Events().Current();
  return {ToQString(desktop::StoppedNote(texts::ProgressPercent(progress.position, progress.fileSize),
                                          progress.position, progress.fileSize)),
          true};
}

}  // namespace tallowin
