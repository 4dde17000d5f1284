// A flat list with some of its rows left out: the file list or the list of
// recovered files under the quick filter. Which rows pass is worked out a
// slice at a time on the user-interface thread, so that a filter over a
// million rows never holds the window up; the list changes once, when every
// row is known. Without a filter every row of the source shows, and no list
// of rows is kept. The source may append rows (a running scan) and be reset;
// rows that pass stay in the source's order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QAbstractProxyModel>

namespace tallowin {

class RowFilterProxy : public QAbstractProxyModel {
  Q_OBJECT

 public:
  // Appends to `out`, in order, the source rows from `first` below `end` that pass.
  using Match = std::function<void(int first, int end, std::vector<int>& out)>;
  // How long one slice of the work may hold the window up.
  static constexpr int kSliceMilliseconds = 20;

  explicit RowFilterProxy(QObject* parent = nullptr);

  void setSourceModel(QAbstractItemModel* source) override;
  // A new filter; an empty one shows every row.
  void SetMatch(Match match);
  // What the filter looks at has changed: the rows are worked out again.
  void Refilter();
  bool Filtering() const { return static_cast<bool>(match_); }
  // A filter's rows are being worked out; the list shows the last ones meanwhile.
  bool Working() const { return working_; }

  QModelIndex mapToSource(const QModelIndex& proxy) const override;
  QModelIndex mapFromSource(const QModelIndex& source) const override;
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 signals:
  // The rows of the filter now in place are all shown.
  void filterApplied();

 private:
  // Begins working the rows out from the first one.
  void Restart();
  // Works through rows for one slice; true when every row is done.
  bool Slice();
  void ScheduleSlice();
  void Finish();
  int SourceRows() const;

  void SourceAboutToInsert(const QModelIndex& parent, int first, int last);
  void SourceInserted(const QModelIndex& parent, int first, int last);
  void SourceAboutToReset();
  void SourceReset();
  void SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);

  Match match_;
  std::optional<std::vector<int>> rows_;  // the rows shown; nothing: every source row
  std::vector<int> pending_;              // the rows found to pass so far
  int next_ = 0;                          // the next source row to look at
  bool working_ = false;
  std::uint64_t job_ = 0;  // a slice scheduled for an earlier job does nothing
};

}  // namespace tallowin
