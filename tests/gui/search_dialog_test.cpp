// The Search Files dialog: its form, what a pattern finds, Stop, and closing
// while a search runs.
#include <memory>
#include <thread>

#include <QAbstractItemModelTester>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include "browser/widgets/dialog_units.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/text_qt.h"
#include "tests/gui/gui_test_support.h"
#include "tests/support/scan_helpers.h"

namespace tallowin::test {

namespace {

constexpr int kWaitMilliseconds = 60000;
constexpr int kBigRowCount = 300000;

const QString kReport = "BKF\\BACKUP SET 1(Data)\\Documents\\report.doc";
const QString kNotes = "BKF\\BACKUP SET 1(Data)\\Documents\\notes.txt";
const QString kMakefile = "BKF\\BACKUP SET 1(Data)\\Makefile";
const QString kLetter = "BKF\\BACKUP SET 2(Mail)\\Archive\\Documents\\letter.doc";
const QString kPhoto = "BKF\\BACKUP SET 2(Mail)\\Pictures\\photo.jpg";

// The desktop's names for the types the small catalogue holds.
FileTypeInfo DesktopType(std::u16string_view extension) {
  if (extension == u"doc") return {u"Word Document", "x-office-document"};
  return GenericFileType(extension);
}

void FillSmall(Catalogue& catalogue) {
  test::AppendFileRow(catalogue, ToU16(kReport), {.size = 1200});
  test::AppendFileRow(catalogue, ToU16(kNotes), {.size = 42});
  test::AppendFileRow(catalogue, ToU16(kMakefile), {.size = 7});
  test::AppendFileRow(catalogue, ToU16(kLetter), {.size = 0});
  test::AppendFileRow(catalogue, ToU16(kPhoto), {.size = 65536});
}

// The dialog's controls, found by name as a user finds them by sight.
struct Form {
  explicit Form(const SearchFilesDialog& dialog)
      : prompt(dialog.findChild<QLabel*>("prompt")),
        box(dialog.findChild<QLineEdit*>("searchBox")),
        search(dialog.findChild<QPushButton*>("search")),
        stop(dialog.findChild<QPushButton*>("stopSearch")),
        list(dialog.findChild<QTableView*>("results")),
        foundLabel(dialog.findChild<QLabel*>("foundLabel")),
        count(dialog.findChild<QLabel*>("foundCount")),
        progress(dialog.findChild<QProgressBar*>("progress")),
        ok(dialog.findChild<QPushButton*>("ok")),
        tester(std::make_unique<QAbstractItemModelTester>(list->model())) {}

  QAbstractItemModel* Model() const { return list->model(); }
  QStringList Column(int column) const {
    QStringList texts;
    for (int row = 0; row < Model()->rowCount(); ++row) texts.append(Model()->index(row, column).data().toString());
    return texts;
  }

  QLabel* prompt;
  QLineEdit* box;
  QPushButton* search;
  QPushButton* stop;
  QTableView* list;
  QLabel* foundLabel;
  QLabel* count;
  QProgressBar* progress;
  QPushButton* ok;
  // The results model is checked against Qt's rules whatever the test does.
  std::unique_ptr<QAbstractItemModelTester> tester;
};

// Types the pattern, clicks Search and waits for the search to end.
bool SearchFor(SearchFilesDialog& dialog, const QString& pattern) {
  const Form form(dialog);
  form.box->setText(pattern);
  QTest::mouseClick(form.search, Qt::LeftButton);
  return QTest::qWaitFor([&] { return !dialog.IsSearching(); }, kWaitMilliseconds);
}

bool SearchShownAgain(const Form& form) {
  return form.search->isVisible() && !form.stop->isVisible() && !form.progress->isVisible();
}

}  // namespace

class SearchDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Catalogue> small_;
  std::unique_ptr<Catalogue> big_;

  std::unique_ptr<SearchFilesDialog> Open(const Catalogue& catalogue) {
    auto dialog = std::make_unique<SearchFilesDialog>(catalogue, nullptr);
    dialog->show();
    return dialog;
  }

 private slots:
  void initTestCase() {
    small_ = std::make_unique<Catalogue>(DesktopType);
    FillSmall(*small_);
    // Every row matches "*", so a search over it runs long enough to be
    // stopped midway.
    big_ = std::make_unique<Catalogue>();
    for (int i = 0; i < kBigRowCount; ++i) {
      const QString path = QString("BKF\\BACKUP SET 1(Big)\\Folder%1\\file%2.dat").arg(i / 1000).arg(i);
      test::AppendFileRow(*big_, ToU16(path), {.size = i});
    }
  }

  void openingShowsTheEmptyForm() {
    auto dialog = Open(*small_);
    const Form form(*dialog);
    QCOMPARE(dialog->windowTitle(), QString("Search Files.."));
    QVERIFY(dialog->isModal());
    QCOMPARE(dialog->size(), DialogSize(422, 201));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

    QCOMPARE(QString(form.prompt->text()).remove('&'), QString("Enter String : "));
    QCOMPARE(form.prompt->buddy(), form.box);
    QCOMPARE(form.prompt->geometry(), DialogRect(26, 20, 52, 10));
    QVERIFY(form.prompt->geometry().right() < form.box->geometry().left());
    QCOMPARE(form.box->text(), QString("*.*"));
    QCOMPARE(form.box->geometry(), DialogRect(79, 18, 216, 12));
    QCOMPARE(form.search->text(), QString("&Search"));
    QCOMPARE(form.search->geometry(), DialogRect(328, 17, 64, 15));
    QVERIFY(form.search->isDefault());
    QVERIFY(form.search->isVisible());
    QCOMPARE(form.stop->text(), QString("S&top"));
    QCOMPARE(form.stop->geometry(), DialogRect(328, 17, 64, 15));
    QVERIFY(!form.stop->isVisible());
    QCOMPARE(form.foundLabel->text(), QString("Total File Found :"));
    QCOMPARE(form.foundLabel->geometry(), DialogRect(24, 151, 66, 11));
    QVERIFY(form.count->text().isEmpty());
    QCOMPARE(form.count->geometry(), DialogRect(91, 151, 81, 9));
    QVERIFY(!form.progress->isVisible());
    QCOMPARE(form.progress->minimum(), 0);
    QCOMPARE(form.progress->maximum(), 100);
    QCOMPARE(form.progress->geometry(), DialogRect(23, 165, 372, 9));
    QCOMPARE(form.ok->text(), QString("&OK"));
    QCOMPARE(form.ok->geometry(), DialogRect(184, 181, 50, 14));
    for (const QLabel* label : {form.prompt, form.foundLabel}) {
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text() + " is cut"));
    }

    QCOMPARE(form.list->geometry(), DialogRect(20, 42, 376, 103));
    QCOMPARE(form.Model()->rowCount(), 0);
    QCOMPARE(form.Model()->columnCount(), 3);
    const QStringList headings{"File Name", "File Type", "File Size"};
    const int widths[] = {400, 200, 200};
    for (int column = 0; column < 3; ++column) {
      QCOMPARE(form.Model()->headerData(column, Qt::Horizontal).toString(), headings[column]);
      QCOMPARE(form.list->columnWidth(column), widths[column]);
    }
    QVERIFY(!form.list->verticalHeader()->isVisible());
    QCOMPARE(form.list->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(form.list->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(form.list->showGrid());
  }

  void findsTheRowsThePatternFits_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("extension") << "*.doc" << QStringList{kReport, kLetter};
    QTest::newRow("folder name") << "Documents" << QStringList{kReport, kNotes, kLetter};
    QTest::newRow("any dot") << "*.*" << QStringList{kReport, kNotes, kLetter, kPhoto};
    QTest::newRow("another case") << "*.DOC" << QStringList{};
    QTest::newRow("empty box") << "" << QStringList{};
  }

  void findsTheRowsThePatternFits() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, paths);
    auto dialog = Open(*small_);
    const Form form(*dialog);
    QAbstractItemModelTester tester(form.Model());
    QVERIFY(SearchFor(*dialog, pattern));
    QCOMPARE(form.Column(0), paths);
    QCOMPARE(form.count->text(), QString::number(paths.size()));
    QVERIFY(SearchShownAgain(form));
  }

  void resultRowsShowPathTypeSizeAndIcon() {
    auto dialog = Open(*small_);
    const Form form(*dialog);
    QAbstractItemModelTester tester(form.Model());
    QVERIFY(SearchFor(*dialog, "Documents"));
    QCOMPARE(form.Column(1), QStringList({"Word Document", "TXT File", "Word Document"}));
    QCOMPARE(form.Column(2), QStringList({"1200", "42", "0"}));
    QVERIFY(SearchFor(*dialog, "Makefile"));
    QCOMPARE(form.Column(1), QStringList{"File"});
    QCOMPARE(form.Column(2), QStringList{"7"});
    const QModelIndex first = form.Model()->index(0, 0);
    QCOMPARE(first.data(Qt::DecorationRole).metaType(), QMetaType::fromType<QIcon>());
    QVERIFY(!form.Model()->index(0, 1).data(Qt::DecorationRole).isValid());
  }

  void returnInTheBoxSearchesAndASecondSearchReplacesTheFirst() {
    auto dialog = Open(*small_);
    const Form form(*dialog);
    QAbstractItemModelTester tester(form.Model());
    QVERIFY(SearchFor(*dialog, "*.doc"));
    QCOMPARE(form.Model()->rowCount(), 2);

    QSignalSpy reset(form.Model(), &QAbstractItemModel::modelReset);
    form.box->setText("*.txt");
    QTest::keyClick(form.box, Qt::Key_Return);
    // The old rows are gone before the new search has found anything.
    QCOMPARE(reset.size(), 1);
    QCOMPARE(form.Model()->rowCount(), 0);
    QCOMPARE(form.count->text(), QString("0"));
    QVERIFY(dialog->IsSearching());
    QVERIFY(QTest::qWaitFor([&] { return !dialog->IsSearching(); }, kWaitMilliseconds));
    QCOMPARE(form.Column(0), QStringList{kNotes});
    QCOMPARE(form.count->text(), QString("1"));
  }

  void aLargeSearchArrivesInBatches() {
    auto dialog = Open(*big_);
    const Form form(*dialog);
    QSignalSpy batches(form.Model(), &QAbstractItemModel::rowsInserted);
    QVERIFY(SearchFor(*dialog, "*"));
    QCOMPARE(form.Model()->rowCount(), kBigRowCount);
    QCOMPARE(form.count->text(), QString::number(kBigRowCount));
    // A batch per refresh, never an insertion per row.
    QVERIFY(!batches.isEmpty());
    QVERIFY2(batches.size() < 1000, qPrintable(QString::number(batches.size())));
    QCOMPARE(form.Model()->index(kBigRowCount - 1, 0).data().toString(),
             QString("BKF\\BACKUP SET 1(Big)\\Folder299\\file299999.dat"));
    QCOMPARE(form.Model()->index(kBigRowCount - 1, 2).data().toString(), QString("299999"));
    QVERIFY(SearchShownAgain(form));
  }

  void stopKeepsTheRowsFoundSoFar() {
    auto dialog = Open(*big_);
    const Form form(*dialog);
    // The search may outrun the click on a busy machine; a few tries make
    // sure Stop lands while it runs.
    int kept = kBigRowCount;
    for (int attempt = 0; attempt < 10 && kept == kBigRowCount; ++attempt) {
      form.box->setText("*");
      QTest::mouseClick(form.search, Qt::LeftButton);
      QVERIFY(dialog->IsSearching());
      QVERIFY(form.stop->isVisible() && !form.search->isVisible());
      QVERIFY(form.progress->isVisible());
      QCOMPARE(form.progress->value(), 0);
      // Without the event loop the search cannot be seen to end meanwhile; the
      // first match comes long before the last.
      const QDeadlineTimer deadline(kWaitMilliseconds);
      while (dialog->MatchesReported() == 0 && !deadline.hasExpired()) std::this_thread::yield();
      QVERIFY(dialog->MatchesReported() > 0);
      QTest::mouseClick(form.stop, Qt::LeftButton);
      QVERIFY(QTest::qWaitFor([&] { return !dialog->IsSearching(); }, kWaitMilliseconds));
      kept = form.Model()->rowCount();
    }

    QVERIFY(kept > 0);
    QVERIFY2(kept < kBigRowCount, "the search ended before Stop every time");
    QCOMPARE(static_cast<std::uint64_t>(kept), dialog->MatchesReported());
    QCOMPARE(form.count->text(), QString::number(kept));
    for (const int row : {0, kept / 2, kept - 1}) {
      QCOMPARE(form.Model()->index(row, 0).data().toString(),
               ToQString(big_->GetCatalogueCell(row, kCellPath)));
    }
    QVERIFY(SearchShownAgain(form));
    QVERIFY(dialog->isVisible());
  }

  void closingWhileSearchingIsRefusedUntilTheSearchEnds() {
    auto dialog = Open(*big_);
    const Form form(*dialog);
    MessageRecorder messages;
    form.box->setText("*");
    QTest::mouseClick(form.search, Qt::LeftButton);
    QVERIFY(dialog->IsSearching());

    QTest::mouseClick(form.ok, Qt::LeftButton);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->close());
    QCOMPARE(messages.texts, QStringList(3, QString("Please stop scanning process")));
    QCOMPARE(messages.captions, QStringList(3, QString("Tallowin for BKF")));
    QCOMPARE(messages.styles, std::vector<unsigned>(3, mb::kIconExclamation));
    QCOMPARE(messages.owners, std::vector<QWidget*>(3, dialog.get()));
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->IsSearching());

    QTest::mouseClick(form.stop, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !dialog->IsSearching(); }, kWaitMilliseconds));
    QTest::mouseClick(form.ok, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(messages.texts.size(), 3);
  }

  void escapeAndTheCloseBoxCloseOnceTheSearchHasEnded() {
    MessageRecorder messages;
    for (const bool closeBox : {false, true}) {
      auto dialog = Open(*small_);
      QVERIFY(SearchFor(*dialog, "*.doc"));
      if (closeBox) {
        QVERIFY(dialog->close());
      } else {
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
      }
      QVERIFY(!dialog->isVisible());
      QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }
    QVERIFY(messages.texts.isEmpty());
  }

  void reopeningStartsAfresh() {
    auto dialog = Open(*small_);
    const Form form(*dialog);
    QVERIFY(SearchFor(*dialog, "*.doc"));
    QTest::mouseClick(form.ok, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());

    dialog->show();
    QCOMPARE(form.box->text(), QString("*.*"));
    QCOMPARE(form.Model()->rowCount(), 0);
    QVERIFY(form.count->text().isEmpty());
    // Closing told the search to end; a new opening must forget that.
    QVERIFY(SearchFor(*dialog, "*.txt"));
    QCOMPARE(form.Column(0), QStringList{kNotes});
  }

  void destroyingTheDialogMidSearchLeavesNothingBehind() {
    auto dialog = Open(*big_);
    const Form form(*dialog);
    form.box->setText("*");
    QTest::mouseClick(form.search, Qt::LeftButton);
    QVERIFY(dialog->IsSearching());
    dialog.reset();
    // The end of the search, if it was already on its way, must not reach the
    // dialog that is gone.
    QCoreApplication::processEvents();
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::SearchDialogTest)
#include "search_dialog_test.moc"
