// A file dragged out of the file list onto a file manager or the desktop.
// What is dropped is the file's copy in the program's private folder, made
// by the save's own code when the place it is dropped on asks for it (and
// not before: a drag that is let go over the window itself costs nothing).
// The drag itself goes through a routine that tests put in place.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QMimeData>
#include <QUrl>

#include "browser/widgets/scoped_routine.h"

class QDrag;

namespace tallowin {

class FileCopyMimeData : public QMimeData {
  Q_OBJECT

 public:
  // `copy` saves the file and gives its address, or nothing when it failed.
  explicit FileCopyMimeData(std::function<std::optional<QUrl>()> copy);

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;
  // Whether the copy was asked for, and failed.
  bool Failed() const { return asked_ && !url_; }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  std::function<std::optional<QUrl>()> copy_;
  mutable bool asked_ = false;
  mutable std::optional<QUrl> url_;
};

// Runs the drag; QDrag::exec unless a test put another routine in place.
using DragRoutine = std::function<Qt::DropAction(QDrag& drag)>;
DragRoutine& CurrentDragRoutine();

class ScopedDragRoutine : public ScopedRoutine<DragRoutine> {
 public:
  explicit ScopedDragRoutine(DragRoutine routine) : ScopedRoutine(CurrentDragRoutine(), std::move(routine)) {}
};

}  // namespace tallowin
