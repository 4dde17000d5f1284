// The quick filter's proxy over a list that grows while a scan runs and is
// reset when a folder changes: only the rows that pass show, in the source's
// order; a large list is worked out a slice at a time and changes once; the
// proxy obeys Qt's rules for models throughout.
#include <QAbstractItemModelTester>
#include <QAbstractTableModel>
#include <QSignalSpy>

#include <thread>

#include "browser/widgets/row_filter_proxy.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {
namespace {

// A list of numbers that appends, resets and changes as the program's lists do.
class Numbers : public QAbstractTableModel {
 public:
  explicit Numbers(int count) { Fill(count); }
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : static_cast<int>(values_.size()); }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return values_[static_cast<std::size_t>(index.row())] * (index.column() + 1);
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? "Value" : "Double";
  }
  void Append(int count) {
    const int first = rowCount();
    beginInsertRows({}, first, first + count - 1);
    for (int i = 0; i < count; ++i) values_.push_back(first + i);
    endInsertRows();
  }
  void Reset(int count) {
    beginResetModel();
    Fill(count);
    endResetModel();
  }
  void Change(int row, int value) {
    values_[static_cast<std::size_t>(row)] = value;
    emit dataChanged(index(row, 0), index(row, 1));
  }
  int Value(int row) const { return values_[static_cast<std::size_t>(row)]; }

 private:
  void Fill(int count) {
    values_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) values_[static_cast<std::size_t>(i)] = i;
  }
  std::vector<int> values_;
};

// The rows whose value `keep` takes.
RowFilterProxy::Match Keep(const Numbers& numbers, std::function<bool(int)> keep) {
  return [&numbers, keep](int first, int end, std::vector<int>& out) {
    for (int row = first; row < end; ++row) {
      if (keep(numbers.Value(row))) out.push_back(row);
    }
  };
}

QList<int> Shown(const QAbstractItemModel& model) {
  QList<int> values;
  for (int row = 0; row < model.rowCount(); ++row) values.append(model.index(row, 0).data().toInt());
  return values;
}

}  // namespace

class RowFilterProxyTest : public QObject {
  Q_OBJECT

 private slots:
  void withoutAFilterEveryRowShowsAndAppendedRowsFollow() {
    Numbers numbers(3);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    QCOMPARE(Shown(proxy), (QList<int>{0, 1, 2}));
    QSignalSpy inserted(&proxy, &QAbstractItemModel::rowsInserted);
    numbers.Append(2);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(Shown(proxy), (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(proxy.index(1, 1).data().toInt(), 2);
    QCOMPARE(proxy.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Double"));
  }

  void onlyRowsThatPassShowInOrderAndAppendedOnesThatPassFollow() {
    Numbers numbers(10);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    QSignalSpy applied(&proxy, &RowFilterProxy::filterApplied);
    proxy.SetMatch(Keep(numbers, [](int value) { return value % 3 == 0; }));
    QCOMPARE(applied.size(), 1);
    QCOMPARE(Shown(proxy), (QList<int>{0, 3, 6, 9}));
    QCOMPARE(proxy.mapToSource(proxy.index(2, 1)), numbers.index(6, 1));
    QCOMPARE(proxy.mapFromSource(numbers.index(9, 0)), proxy.index(3, 0));
    QVERIFY(!proxy.mapFromSource(numbers.index(4, 0)).isValid());
    numbers.Append(5);  // 10 to 14
    QCOMPARE(Shown(proxy), (QList<int>{0, 3, 6, 9, 12}));
    // Back to every row.
    proxy.SetMatch({});
    QCOMPARE(proxy.rowCount(), 15);
    QCOMPARE(applied.size(), 2);
  }

  // A list whose every row is filtered out still has its headings.
  void theHeadingsStayWhenNoRowPasses() {
    Numbers numbers(5);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    proxy.SetMatch(Keep(numbers, [](int) { return false; }));
    QCOMPARE(proxy.rowCount(), 0);
    QVERIFY(!proxy.hasChildren());
    QCOMPARE(proxy.columnCount(), 2);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Value"));
  }

  void aResetSourceIsFilteredAfreshAtOnceWhenSmall() {
    Numbers numbers(4);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    proxy.SetMatch(Keep(numbers, [](int value) { return value % 2 == 1; }));
    numbers.Reset(8);
    QVERIFY(!proxy.Working());
    QCOMPARE(Shown(proxy), (QList<int>{1, 3, 5, 7}));
  }

  // A change reaches the proxy's rows that show the source rows changed, and
  // no others; a change the filter must see is asked for with Refilter.
  void changesReachOnlyTheRowsShown() {
    Numbers numbers(6);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    proxy.SetMatch(Keep(numbers, [](int value) { return value >= 3; }));
    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    numbers.Change(1, 1);
    QCOMPARE(changed.size(), 0);
    numbers.Change(4, 40);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].value<QModelIndex>(), proxy.index(1, 0));
    numbers.Change(0, 99);
    QCOMPARE(Shown(proxy), (QList<int>{3, 40, 5}));
    proxy.Refilter();
    QCOMPARE(Shown(proxy), (QList<int>{99, 3, 40, 5}));
  }

  // Two hundred thousand rows, each slow to judge: SetMatch returns before they
  // are all known, the list shows the old rows meanwhile, rows the scan
  // appends meanwhile are taken in, and the list changes once at the end.
  void aLargeListIsWorkedOutInSlicesAndChangesOnce() {
    Numbers numbers(200'000);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    QSignalSpy applied(&proxy, &RowFilterProxy::filterApplied);
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    proxy.SetMatch([&numbers](int first, int end, std::vector<int>& out) {
      std::this_thread::sleep_for(std::chrono::microseconds(end - first));
      for (int row = first; row < end; ++row) {
        if (numbers.Value(row) % 1000 == 0) out.push_back(row);
      }
    });
    QVERIFY(proxy.Working());
    QCOMPARE(proxy.rowCount(), 200'000);
    numbers.Append(1'000);
    QVERIFY(applied.wait(20'000));
    QCOMPARE(applied.size(), 1);
    QCOMPARE(reset.size(), 1);
    QVERIFY(!proxy.Working());
    QCOMPARE(proxy.rowCount(), 201);
    QCOMPARE(proxy.index(200, 0).data().toInt(), 200'000);
  }

  // A filter replaced before its rows are known never shows them.
  void aFilterReplacedMidWorkLeavesNoTrace() {
    Numbers numbers(100'000);
    RowFilterProxy proxy;
    QAbstractItemModelTester tester(&proxy);
    proxy.setSourceModel(&numbers);
    QSignalSpy applied(&proxy, &RowFilterProxy::filterApplied);
    proxy.SetMatch([&numbers](int first, int end, std::vector<int>& out) {
      std::this_thread::sleep_for(std::chrono::microseconds(end - first));
      for (int row = first; row < end; ++row) out.push_back(row);
      (void)numbers;
    });
    QVERIFY(proxy.Working());
    proxy.SetMatch(Keep(numbers, [](int value) { return value == 7; }));
    QCOMPARE(Shown(proxy), (QList<int>{7}));
    QTest::qWait(200);
    QCOMPARE(Shown(proxy), (QList<int>{7}));
    QCOMPARE(applied.size(), 1);
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::RowFilterProxyTest)
#include "row_filter_proxy_test.moc"
