// The "Search Files.." dialog: finds catalogue rows whose path fits a name
// pattern, on a thread of its own, and lists them while the search goes on.
// A result chosen with Enter or a double-click closes the dialog, and the
// window shows it in the browser.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include <QAbstractTableModel>
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QPixmap>

#include "browser/widgets/type_icons.h"
#include "catalog/catalogue.h"
#include "catalog/catalogue_search.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace tallowin {

// The rows found, as an item model of three columns: path, type, size. Only
// the row numbers are kept and the cells are read from the catalogue when
// shown, so a million matches cost a few megabytes. The catalogue cannot be
// emptied while the modal dialog is open.
class SearchResultModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 3;
  static constexpr int kColumnWidths[kColumnCount] = {400, 200, 200};

  explicit SearchResultModel(const Catalogue& catalogue, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Adds the rows at the end in one insertion.
  void Append(std::span<const RowIndex> rows);
  void Clear();
  RowIndex RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }

 private:
  const Catalogue& catalogue_;
  std::vector<RowIndex> rows_;
  mutable TypeIcons icons_;
};

// Matches on their way from the search thread to the window: the search adds
// them one by one, the window takes whatever has come in one batch.
class SearchInbox final : public SearchObserver {
 public:
  // Empties the inbox before a search.
  void Reset();
  std::vector<RowIndex> Take();
  int Percent() const { return percent_.load(std::memory_order_relaxed); }
  std::uint64_t Found() const { return found_.load(std::memory_order_relaxed); }

  void OnProgress(const JobProgress& progress) override;
  void OnSearchMatch(RowIndex row, std::u16string_view path, std::u16string_view size,
                     std::uint64_t found) override;

 private:
  std::mutex mutex_;
  std::vector<RowIndex> rows_;
  std::atomic<int> percent_{0};
  std::atomic<std::uint64_t> found_{0};
};

class SearchFilesDialog : public QDialog {
  Q_OBJECT

 public:
  // How often the list, the progress and the count follow a running search.
  static constexpr int kRefreshMilliseconds = 100;

  SearchFilesDialog(const Catalogue& catalogue, QWidget* owner);
  ~SearchFilesDialog() override;

  bool IsSearching() const { return searching_; }
  // Matches the running or last search has reported, shown in the list or not yet.
  std::uint64_t MatchesReported() const { return inbox_.Found(); }
  QLineEdit* SearchBox() const { return searchBox_; }
  QTableView* Results() const { return list_; }
  // The result the user chose to see in the browser, once the dialog has closed.
  std::optional<RowIndex> ChosenRow() const { return chosen_; }

  // OK, Escape and the close box (which QDialog sends here) are refused with
  // a message while a search runs; otherwise the search is told to end.
  void accept() override;
  void reject() override;

 protected:
  // Every opening starts afresh: no results, the box "*.*".
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void StartSearch();
  void FollowSearch();
  void FinishSearch();
  bool MayClose();
  // A running search is stopped first; the dialog closes when it has ended.
  void Choose(const QModelIndex& result);

  const Catalogue& catalogue_;
  SearchInbox inbox_;
  std::unique_ptr<SearchResultModel> results_;
  bool searching_ = false;
  std::optional<RowIndex> chosen_;

  QLineEdit* searchBox_;
  QPushButton* search_;
  QPushButton* stop_;
  QTableView* list_;
  QLabel* foundCount_;
  QProgressBar* progress_;
  QTimer* refresh_;
  QPixmap background_;

  // The search thread, whose stop ends the search; declared last so that it
  // ends before what it uses goes.
  std::jthread worker_;
};

}  // namespace tallowin
