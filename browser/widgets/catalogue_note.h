// What the status bar, and for a partial catalogue the title, say of the
// catalogue on show once its scan or load has ended: that Stop cut it short
// and where, or which snapshot it came from. Nothing for a whole scan.
#pragma once

#include <QString>

#include "browser/widgets/recovery_session_controller.h"

namespace tallowin {

struct CatalogueNote {
  QString text;
  bool partial = false;  // Stop ended the scan or the load early
};

CatalogueNote NoteOnCatalogue(const RecoverySessionController& session);

}  // namespace tallowin
