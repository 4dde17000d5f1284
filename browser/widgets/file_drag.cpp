#include "browser/widgets/file_drag.h"

#include <QDrag>

namespace tallowin {
namespace {

constexpr const char* kUriList = "text/uri-list";

}  // namespace

FileCopyMimeData::FileCopyMimeData(std::function<std::optional<QUrl>()> copy) : copy_(std::move(copy)) {}

QStringList FileCopyMimeData::formats() const { return {kUriList}; }

bool FileCopyMimeData::hasFormat(const QString& mimeType) const { return mimeType == kUriList; }

QVariant FileCopyMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
  if (mimeType != kUriList) return QMimeData::retrieveData(mimeType, type);
  if (!asked_) {
    asked_ = true;
    url_ = copy_();
  }
  if (!url_) return {};
  return QVariantList{*url_};
}

DragRoutine& CurrentDragRoutine() {
  static DragRoutine routine = [](QDrag& drag) { return drag.exec(Qt::CopyAction, Qt::CopyAction); };
  return routine;
}

}  // namespace tallowin
