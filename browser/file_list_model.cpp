#include "browser/file_list_model.h"

namespace tallowin {

int FileListModel::rowCount(const QModelIndex&) const { return 0; }

int FileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileListModel::data(const QModelIndex&, int) const { return {}; }

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kHeadings[kColumnCount] = {"Name", "Type", "File Size", "Date Modified",
                                                      "Date Created"};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) {
    return {};
  }
  return QString::fromLatin1(kHeadings[section]);
}

}  // namespace tallowin
