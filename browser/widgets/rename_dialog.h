// The "Rename folder" dialog: one edit box for the new name.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QDialog>

#include "browser/selection/folder_browser.h"
#include "browser/widgets/scoped_routine.h"

class QLineEdit;

namespace tallowin {

class RenameDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RenameDialog(QWidget* owner);
  QLineEdit* NameBox() const { return name_; }

 private:
  QLineEdit* name_;
};

// Why the browser refused a name, as the message says it.
QString RenameRefusal(RenameResult result);

// Shows a rename dialog whose box starts with `text` (the folder's name, or
// a name just refused, to be mended) and returns the text on OK, nothing on
// Cancel. Tests put their own routine in place.
using RenameRoutine = std::function<std::optional<QString>(QWidget* owner, const QString& text)>;
RenameRoutine& CurrentRenameRoutine();

class ScopedRenameRoutine : public ScopedRoutine<RenameRoutine> {
 public:
  explicit ScopedRenameRoutine(RenameRoutine routine)
      : ScopedRoutine(CurrentRenameRoutine(), std::move(routine)) {}
};

}  // namespace tallowin
