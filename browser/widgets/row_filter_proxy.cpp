#include "browser/widgets/row_filter_proxy.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QTimer>

namespace tallowin {
namespace {

// Rows matched between two looks at the clock.
constexpr int kChunkRows = 4096;

}  // namespace

RowFilterProxy::RowFilterProxy(QObject* parent) : QAbstractProxyModel(parent) {}

void RowFilterProxy::setSourceModel(QAbstractItemModel* source) {
  beginResetModel();
  if (sourceModel() != nullptr) disconnect(sourceModel(), nullptr, this, nullptr);
  QAbstractProxyModel::setSourceModel(source);
  if (source != nullptr) {
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, &RowFilterProxy::SourceAboutToInsert);
    connect(source, &QAbstractItemModel::rowsInserted, this, &RowFilterProxy::SourceInserted);
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &RowFilterProxy::SourceAboutToReset);
    connect(source, &QAbstractItemModel::modelReset, this, &RowFilterProxy::SourceReset);
    connect(source, &QAbstractItemModel::dataChanged, this, &RowFilterProxy::SourceDataChanged);
    connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    // The lists never move or remove rows one by one; should a source do
    // so, the filter starts afresh.
    const auto aboutToReset = [this] { SourceAboutToReset(); };
    const auto reset = [this] { SourceReset(); };
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, aboutToReset);
    connect(source, &QAbstractItemModel::rowsRemoved, this, reset);
    connect(source, &QAbstractItemModel::rowsAboutToBeMoved, this, aboutToReset);
    connect(source, &QAbstractItemModel::rowsMoved, this, reset);
    connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this, aboutToReset);
    connect(source, &QAbstractItemModel::columnsInserted, this, reset);
    connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this, aboutToReset);
    connect(source, &QAbstractItemModel::columnsRemoved, this, reset);
    connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, aboutToReset);
    connect(source, &QAbstractItemModel::layoutChanged, this, reset);
  }
  SourceReset();
}

void RowFilterProxy::SetMatch(Match match) {
  match_ = std::move(match);
  if (match_) {
    Restart();
    return;
  }
  ++job_;
  working_ = false;
  pending_.clear();
  if (rows_) {
    beginResetModel();
    rows_.reset();
    endResetModel();
  }
  emit filterApplied();
}

void RowFilterProxy::Refilter() {
  if (match_) Restart();
}

int RowFilterProxy::SourceRows() const { return sourceModel() != nullptr ? sourceModel()->rowCount() : 0; }

void RowFilterProxy::Restart() {
  ++job_;
  pending_.clear();
  next_ = 0;
  working_ = true;
  if (Slice()) {
    Finish();
  } else {
    ScheduleSlice();
  }
}

bool RowFilterProxy::Slice() {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const int end = std::min(next_ + kChunkRows, SourceRows());
    if (next_ >= end) return true;
    match_(next_, end, pending_);
    next_ = end;
    if (clock.elapsed() >= kSliceMilliseconds) return next_ >= SourceRows();
  }
}

void RowFilterProxy::ScheduleSlice() {
  QTimer::singleShot(0, this, [this, job = job_] {
    if (job != job_ || !working_) return;
    if (Slice()) {
      Finish();
    } else {
      ScheduleSlice();
    }
  });
}

void RowFilterProxy::Finish() {
  working_ = false;
  beginResetModel();
  rows_ = std::exchange(pending_, {});
  endResetModel();
  emit filterApplied();
}

void RowFilterProxy::SourceAboutToInsert(const QModelIndex& parent, int first, int last) {
  if (!parent.isValid() && !rows_) beginInsertRows({}, first, last);
}

void RowFilterProxy::SourceInserted(const QModelIndex& parent, int first, int last) {
  if (parent.isValid()) return;
  if (!rows_) {
    endInsertRows();
    return;
  }
  // Rows that come before rows already looked at would shift them all.
  const bool appended = first >= next_ && (rows_->empty() || first > rows_->back());
  if (!appended) {
    Restart();
    return;
  }
  // A running job takes the new rows in as it goes on.
  if (working_) return;
  std::vector<int> found;
  match_(first, last + 1, found);
  next_ = last + 1;
  if (found.empty()) return;
  const int at = static_cast<int>(rows_->size());
  beginInsertRows({}, at, at + static_cast<int>(found.size()) - 1);
  rows_->insert(rows_->end(), found.begin(), found.end());
  endInsertRows();
}

void RowFilterProxy::SourceAboutToReset() { beginResetModel(); }

void RowFilterProxy::SourceReset() {
  ++job_;
  pending_.clear();
  next_ = 0;
  working_ = static_cast<bool>(match_);
  if (!working_) {
    rows_.reset();
    endResetModel();
    return;
  }
  // A small source is done at once, so that a folder's list never shows
  // empty first.
  const bool done = Slice();
  rows_ = done ? std::exchange(pending_, {}) : std::vector<int>{};
  working_ = !done;
  endResetModel();
  if (done) {
    emit filterApplied();
  } else {
    ScheduleSlice();
  }
}

void RowFilterProxy::SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                       const QList<int>& roles) {
  if (topLeft.parent().isValid()) return;
  if (!rows_) {
    emit dataChanged(index(topLeft.row(), topLeft.column()), index(bottomRight.row(), bottomRight.column()), roles);
    return;
  }
  const auto low = std::lower_bound(rows_->begin(), rows_->end(), topLeft.row());
  const auto high = std::upper_bound(low, rows_->end(), bottomRight.row());
  if (low == high) return;
  emit dataChanged(index(static_cast<int>(low - rows_->begin()), topLeft.column()),
                   index(static_cast<int>(high - rows_->begin()) - 1, bottomRight.column()), roles);
}

QModelIndex RowFilterProxy::mapToSource(const QModelIndex& proxy) const {
  if (!proxy.isValid() || sourceModel() == nullptr || proxy.row() >= rowCount()) return {};
  const int row = rows_ ? (*rows_)[static_cast<std::size_t>(proxy.row())] : proxy.row();
  return sourceModel()->index(row, proxy.column());
}

QModelIndex RowFilterProxy::mapFromSource(const QModelIndex& source) const {
  if (!source.isValid() || source.parent().isValid()) return {};
  if (!rows_) return index(source.row(), source.column());
  const auto found = std::lower_bound(rows_->begin(), rows_->end(), source.row());
  if (found == rows_->end() || *found != source.row()) return {};
  return index(static_cast<int>(found - rows_->begin()), source.column());
}

QModelIndex RowFilterProxy::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return {};
  return createIndex(row, column);
}

QModelIndex RowFilterProxy::parent(const QModelIndex&) const { return {}; }

QModelIndex RowFilterProxy::sibling(int row, int column, const QModelIndex&) const { return index(row, column); }

int RowFilterProxy::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return rows_ ? static_cast<int>(rows_->size()) : SourceRows();
}

int RowFilterProxy::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || sourceModel() == nullptr ? 0 : sourceModel()->columnCount();
}

bool RowFilterProxy::hasChildren(const QModelIndex& parent) const { return !parent.isValid() && rowCount() > 0; }

QVariant RowFilterProxy::headerData(int section, Qt::Orientation orientation, int role) const {
  if (sourceModel() == nullptr) return {};
  if (orientation == Qt::Vertical && rows_ && section >= 0 && section < rowCount()) {
    section = (*rows_)[static_cast<std::size_t>(section)];
  }
  return sourceModel()->headerData(section, orientation, role);
}

}  // namespace tallowin
