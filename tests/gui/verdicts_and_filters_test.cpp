// What the recovery found, where the files are: after Verify All Files or a
// save every row carries its verdict in both lists, with the reason as a
// tooltip; folders above damaged or incomplete files carry a mark; the quick
// filter narrows the lists by name and by verdict; the verification's report
// lists every file that is not verified, checks or clears it, and jumps to
// it in the browser, as a search result does. The backup is the Windows
// utility's, with a verified, a damaged, an empty and a cut file.
#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/catalogue_list_model.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/file_list_model.h"
#include "browser/widgets/filter_bar.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/row_filter_proxy.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verify_report_dialog.h"
#include "shell/main_frame.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class VerdictsAndFiltersTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;

  struct Page {
    SharedValues values;
    std::unique_ptr<CGUI_RezEreView> view;
    FolderTreeView* tree = nullptr;
    FileListView* list = nullptr;
    CatalogueListView* catalogueList = nullptr;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
  };

  std::unique_ptr<Page> Scanned() {
    auto page = std::make_unique<Page>();
    page->view = std::make_unique<CGUI_RezEreView>(page->values);
    page->view->resize(1200, 800);
    page->view->show();
    page->tree = page->view->findChild<FolderTreeView*>("folderTree");
    page->list = page->view->findChild<FileListView*>("fileList");
    page->catalogueList = page->view->findChild<CatalogueListView*>("catalogueList");
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{page->tree, page->list, page->catalogueList}) {
      page->testers.push_back(std::make_unique<QAbstractItemModelTester>(view->model()));
      if (auto* filter = qobject_cast<QAbstractProxyModel*>(view->model())) {
        page->testers.push_back(std::make_unique<QAbstractItemModelTester>(filter->sourceModel()));
      }
    }
    QSignalSpy ended(page->view.get(), &CGUI_RezEreView::scanEnded);
    page->view->PathBox()->setText(sample_);
    page->view->Recover();
    if (!ended.wait(10000)) return nullptr;
    return page;
  }
  // Verify All Files, its report answered by `answer` (closed when none).
  static void VerifyAll(Page& page, std::function<void(VerifyReportDialog&)> answer = {}) {
    WhenModal<VerifyReportDialog>([answer](VerifyReportDialog& report) {
      if (answer) {
        answer(report);
      }
      if (report.isVisible()) report.reject();
    });
    page.view->VerifyAllFiles();
  }
  // Calls `act` on the modal dialog of type T once it is open.
  template <typename T>
  static void WhenModal(std::function<void(T&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
      if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
        poll->stop();
        poll->deleteLater();
        act(*dialog);
      }
    });
    poll->start();
  }
  static QModelIndex TreeIndex(const Page& page, const QStringList& names) {
    QAbstractItemModel* model = page.tree->model();
    QModelIndex at = model->index(0, 0);
    for (const QString& name : names) {
      QModelIndex next;
      for (int row = 0; row < model->rowCount(at); ++row) {
        if (model->index(row, 0, at).data().toString() == name) next = model->index(row, 0, at);
      }
      at = next;
    }
    return at;
  }
  // The file names the catalogue list shows, with the text of a column.
  static QStringList CatalogueColumn(const Page& page, int column) {
    QStringList texts;
    QAbstractItemModel* model = page.catalogueList->model();
    for (int row = 0; row < model->rowCount(); ++row) texts.append(model->index(row, column).data().toString());
    return texts;
  }
  static QStringList CatalogueNames(const Page& page) {
    QStringList names;
    for (const QString& path : CatalogueColumn(page, kCellPath)) names.append(path.section('\\', -1));
    return names;
  }
  static QStringList ListColumn(const Page& page, int column, int role = Qt::DisplayRole) {
    QStringList texts;
    QAbstractItemModel* model = page.list->model();
    for (int row = 0; row < model->rowCount(); ++row) texts.append(model->index(row, column).data(role).toString());
    return texts;
  }
  static void Filter(Page& page, const QString& text, VerdictChoice choice) {
    FilterBar* bar = page.view->Filter();
    bar->Choice()->setCurrentIndex(static_cast<int>(choice));
    bar->TextBox()->setText(text);
    emit bar->TextBox()->returnPressed();
  }

 private slots:
  void initTestCase() {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"Daily").Directory(u"Docs");
    writer.FileWithStreams({.name = u"good.txt", .data = "intact data"});
    writer.FileWithStreams({.name = u"Bad.doc", .data = std::string(3000, 'b'), .wrongChecksum = true});
    writer.FileWithStreams({.name = u"empty.ini"});
    writer.Directory(u"Clean");
    writer.FileWithStreams({.name = u"photo.jpg", .data = std::string(5000, 'p')});
    writer.Directory(u"Cut");
    writer.FileWithStreams({.name = u"cut.bin", .data = std::string(20000, 'c')});
    writer.Cut(*writer.LastFile().data + 8000);
    sample_ = dir_.filePath("verdicts.bkf");
    writer.WriteTo(PathFromQString(sample_));
  }

  void beforeAnyVerificationNoRowHasAVerdict() {
    auto page = Scanned();
    QVERIFY(page);
    QCOMPARE(CatalogueNames(*page), (QStringList{"good.txt", "Bad.doc", "empty.ini", "photo.jpg", "cut.bin"}));
    QCOMPARE(CatalogueColumn(*page, CatalogueListModel::kVerdictColumn), QStringList(5, QString()));
    QCOMPARE(page->catalogueList->model()->headerData(CatalogueListModel::kVerdictColumn, Qt::Horizontal).toString(),
             QString("Verdict"));
    // The verdict sits beside the name.
    QCOMPARE(page->catalogueList->horizontalHeader()->visualIndex(CatalogueListModel::kVerdictColumn), 1);
  }

  // Verify All Files, with every box cleared: every row gets its verdict,
  // its icon and its reason, in the list of recovered files and in the file
  // list of its folder; the catalogue's marks are not what it goes by.
  void verifyAllGivesEveryRowItsVerdictIconAndReason() {
    auto page = Scanned();
    QVERIFY(page);
    page->view->GetCatalogue().SetAllRowsChecked(false);
    MessageRecorder messages;
    VerifyAll(*page);
    QCOMPARE(CatalogueColumn(*page, CatalogueListModel::kVerdictColumn),
             (QStringList{"Verified", "Damaged", "Unchecked", "Verified", "Incomplete"}));
    const QModelIndex damaged = page->catalogueList->model()->index(1, CatalogueListModel::kVerdictColumn);
    QCOMPARE(damaged.data(Qt::ToolTipRole).toString(), QString("the data does not match the checksum stored with it"));
    QVERIFY(!damaged.data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(page->catalogueList->model()
                ->index(4, CatalogueListModel::kVerdictColumn)
                .data(Qt::ToolTipRole)
                .toString()
                .startsWith("the BKF file ends before this file does"));

    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"}));
    QCOMPARE(ListColumn(*page, 0), (QStringList{"..", "good.txt", "Bad.doc", "empty.ini"}));
    QCOMPARE(ListColumn(*page, FileListModel::kVerdictColumn), (QStringList{"", "Verified", "Damaged", "Unchecked"}));
    QCOMPARE(ListColumn(*page, FileListModel::kVerdictColumn, Qt::ToolTipRole)[3],
             QString("an empty file has no data to check"));
    QVERIFY(messages.texts.isEmpty());
    QVERIFY(!page->view->Session().Busy());
  }

  void foldersAboveDamagedOrIncompleteFilesCarryAMark() {
    auto page = Scanned();
    QVERIFY(page);
    const QModelIndex docs = TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"});
    const QModelIndex clean = TreeIndex(*page, {"BACKUP SET 1(Daily)", "Clean"});
    QVERIFY(docs.data(Qt::ToolTipRole).toString().isEmpty());
    const QImage before = docs.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
    VerifyAll(*page);
    const QString marked = "Damaged or incomplete files lie in this folder or below it";
    for (const QStringList& path : {QStringList{}, QStringList{"BACKUP SET 1(Daily)"},
                                    QStringList{"BACKUP SET 1(Daily)", "Docs"}, QStringList{"BACKUP SET 1(Daily)", "Cut"}}) {
      QCOMPARE(TreeIndex(*page, path).data(Qt::ToolTipRole).toString(), marked);
    }
    QVERIFY(clean.data(Qt::ToolTipRole).toString().isEmpty());
    QVERIFY(docs.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage() != before);
    // The folder rows of the file list show the same mark.
    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Daily)"}));
    QCOMPARE(ListColumn(*page, 0), (QStringList{"..", "Docs", "Clean", "Cut"}));
    QCOMPARE(ListColumn(*page, 0, Qt::ToolTipRole), (QStringList{"", marked, "", marked}));
  }

  // A save gives verdicts as a verification does.
  void aSaveLeavesItsVerdictsInTheLists() {
    auto page = Scanned();
    QVERIFY(page);
    QTemporaryDir target;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return target.path(); });
    MessageRecorder messages;
    page->view->GetCatalogue().SetRowChecked(0, false);
    page->view->SaveCheckedFiles();
    QCOMPARE(CatalogueColumn(*page, CatalogueListModel::kVerdictColumn),
             (QStringList{"", "Damaged", "Unchecked", "Verified", "Incomplete"}));
    QCOMPARE(TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"}).data(Qt::ToolTipRole).toString().isEmpty(), false);
  }

  void theQuickFilterShowsFilesWhoseNameHoldsTheTextInAnyCase() {
    auto page = Scanned();
    QVERIFY(page);
    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"}));
    Filter(*page, "BAD", VerdictChoice::kAll);
    QCOMPARE(CatalogueNames(*page), QStringList{"Bad.doc"});
    QCOMPARE(ListColumn(*page, 0), (QStringList{"..", "Bad.doc"}));
    // A folder's name is no file's: the folder rows stay to move about.
    Filter(*page, "o", VerdictChoice::kAll);
    QCOMPARE(CatalogueNames(*page), (QStringList{"good.txt", "Bad.doc", "photo.jpg"}));
    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Daily)"}));
    QCOMPARE(ListColumn(*page, 0), (QStringList{"..", "Docs", "Clean", "Cut"}));
    // A check box clicked in the filtered list is the row's own.
    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"}));
    Filter(*page, "empty", VerdictChoice::kAll);
    QCOMPARE(ListColumn(*page, 0), (QStringList{"..", "empty.ini"}));
    emit page->list->checkBoxClicked(SourceRow(*page->list, page->list->model()->index(1, 0)));
    QVERIFY(!page->view->GetCatalogue().IsRowChecked(2));
    QVERIFY(page->view->GetCatalogue().IsRowChecked(1));
    Filter(*page, "", VerdictChoice::kAll);
    QCOMPARE(page->catalogueList->model()->rowCount(), 5);
  }

  void theVerdictFilterShowsOnlyTroubleOrOnlyVerifiedFiles() {
    auto page = Scanned();
    QVERIFY(page);
    Filter(*page, "", VerdictChoice::kTrouble);
    // Nothing is known before a verification.
    QCOMPARE(CatalogueNames(*page), QStringList());
    VerifyAll(*page);
    QCOMPARE(CatalogueNames(*page), (QStringList{"Bad.doc", "cut.bin"}));
    Filter(*page, "", VerdictChoice::kVerified);
    QCOMPARE(CatalogueNames(*page), (QStringList{"good.txt", "photo.jpg"}));
    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"}));
    QCOMPARE(ListColumn(*page, 0), (QStringList{"..", "good.txt"}));
    Filter(*page, "photo", VerdictChoice::kVerified);
    QCOMPARE(CatalogueNames(*page), QStringList{"photo.jpg"});
    // Back to the start page: the next catalogue starts unfiltered.
    MessageRecorder messages(mb::kIdYes);
    page->view->Back();
    QCOMPARE(page->view->Filter()->TextBox()->text(), QString());
    QCOMPARE(page->view->Filter()->Choice()->currentIndex(), 0);
  }

  // The report lists every file that is not verified, the unchecked one
  // too; its check boxes are the catalogue's; Show in Browser jumps to a
  // file, even one the quick filter hides.
  void theReportListsEveryFileNotVerifiedChecksThemAndJumps() {
    auto page = Scanned();
    QVERIFY(page);
    Filter(*page, "good", VerdictChoice::kAll);
    QStringList listed;
    VerifyAll(*page, [&](VerifyReportDialog& report) {
      for (int row = 0; row < report.Rows().rowCount(); ++row) {
        listed.append(report.Rows().index(row, 0).data().toString().section('\\', -1) + " " +
                      report.Rows().index(row, 1).data().toString());
      }
      QAbstractItemModelTester tester(&report.Rows());
      // Cleared in the report, cleared everywhere.
      QVERIFY(report.Rows().setData(report.Rows().index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
      report.List()->setCurrentIndex(report.Rows().index(2, 0));
      QTest::keyClick(report.List(), Qt::Key_Return);
    });
    QCOMPARE(listed, (QStringList{"Bad.doc Damaged", "empty.ini Unchecked", "cut.bin Incomplete"}));
    QVERIFY(!page->view->GetCatalogue().IsRowChecked(1));
    QCOMPARE(TreeIndex(*page, {"BACKUP SET 1(Daily)", "Docs"}).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::PartiallyChecked);
    QVERIFY(page->view->UserChanges());
    // The jump: the folder in the tree, the file current in both lists.
    QCOMPARE(page->tree->currentIndex(), TreeIndex(*page, {"BACKUP SET 1(Daily)", "Cut"}));
    QCOMPARE(page->list->currentIndex().data().toString(), QString("cut.bin"));
    QCOMPARE(SourceRow(*page->catalogueList, page->catalogueList->currentIndex()), 4);
    QCOMPARE(page->view->Filter()->TextBox()->text(), QString());
  }

  void aSearchResultJumpsToItsRow() {
    CMainFrame frame;
    frame.show();
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(sample_);
    frame.OnRecover();
    QVERIFY(ended.wait(10000));
    WhenModal<SearchFilesDialog>([](SearchFilesDialog& dialog) {
      dialog.SearchBox()->setText("*photo*");
      QTest::keyClick(dialog.SearchBox(), Qt::Key_Return);
      QTRY_COMPARE(dialog.Results()->model()->rowCount(), 1);
      QTRY_VERIFY(!dialog.IsSearching());
      dialog.Results()->setCurrentIndex(dialog.Results()->model()->index(0, 0));
      QTest::keyClick(dialog.Results(), Qt::Key_Return);
    });
    frame.OnSearchFiles();
    auto* tree = frame.View()->findChild<FolderTreeView*>("folderTree");
    auto* list = frame.View()->findChild<FileListView*>("fileList");
    QCOMPARE(tree->currentIndex().data().toString(), QString("Clean"));
    QCOMPARE(list->currentIndex().data().toString(), QString("photo.jpg"));
    QVERIFY(!frame.View()->Session().Busy());
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::VerdictsAndFiltersTest)
#include "verdicts_and_filters_test.moc"
