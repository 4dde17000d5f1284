// The main view as a desktop user expects it: files dropped on the window,
// keys for the folder commands, dialogs that remember their folders, a way
// to the saved files, the verification of the checked files, pane borders
// to drag and no text cut short without a tooltip.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QToolTip>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/scoped_url_launcher.h"
#include "browser/widgets/rename_dialog.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verify_report_dialog.h"
#include "catalog/program_texts.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class ViewConveniencesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;
  QString damaged_;

  struct Page {
    SharedValues values;
    std::unique_ptr<CGUI_RezEreView> view;
    FolderTreeView* tree = nullptr;
    FileListView* list = nullptr;
  };

  static std::unique_ptr<Page> StartPage() {
    auto page = std::make_unique<Page>();
    page->view = std::make_unique<CGUI_RezEreView>(page->values);
    page->view->resize(1100, 760);
    page->view->show();
    page->tree = page->view->findChild<FolderTreeView*>("folderTree");
    page->list = page->view->findChild<FileListView*>("fileList");
    return page;
  }
  static std::unique_ptr<Page> Scanned(const QString& bkf) {
    auto page = StartPage();
    QSignalSpy ended(page->view.get(), &CGUI_RezEreView::scanEnded);
    page->view->PathBox()->setText(bkf);
    page->view->Recover();
    if (!ended.wait(10000)) return nullptr;
    return page;
  }
  static void CheckEveryRow(Page& page) {
    Catalogue& catalogue = page.view->GetCatalogue();
    for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) catalogue.SetRowChecked(row, true);
  }
  // Drags `urls` onto the view and drops them: whether the view took the drag.
  static bool Drop(CGUI_RezEreView& view, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = view.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &drop);
    return enter.isAccepted();
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

 private slots:
  void initTestCase() {
    MtfWriter writer;
    writer.Tape().DataSet(u"Weekly").Directory(u"Docs\\Reports");
    writer.File({.name = u"q1.txt", .data = "first quarter"}).File({.name = u"q2.txt", .data = "second"});
    writer.Directory(u"Docs").File({.name = u"a.txt", .data = std::string(20, 'a')});
    writer.Align();
    sample_ = dir_.filePath("conveniences.bkf");
    writer.WriteTo(PathFromQString(sample_));

    MtfWriter real(WriterStyle::kWindowsUtility);
    real.Tape().DataSet(u"Daily").Directory(u"Docs");
    real.FileWithStreams({.name = u"good.txt", .data = "intact"});
    real.FileWithStreams({.name = u"hit.doc", .data = std::string(5000, 'h')});
    real.Bytes()[*real.LastFile().data + 100] = std::byte{'X'};
    real.FileWithStreams({.name = u"empty.ini"});
    real.EndOfSet();
    damaged_ = dir_.filePath("damaged.bkf");
    real.WriteTo(PathFromQString(damaged_));
  }
  void init() { QSettings().remove("Dialogs"); }

  void aDroppedBkfFileIsRecoveredAndADroppedSnapshotLoaded() {
    auto page = StartPage();
    QSignalSpy opened(page->view.get(), &CGUI_RezEreView::fileOpened);
    QSignalSpy ended(page->view.get(), &CGUI_RezEreView::scanEnded);
    // Two files at once, or something that is not a local file, are not taken.
    QVERIFY(!Drop(*page->view, {QUrl::fromLocalFile(sample_), QUrl::fromLocalFile(sample_)}));
    QVERIFY(!Drop(*page->view, {QUrl("https://example.com/a.bkf")}));
    QCOMPARE(page->view->State(), CGUI_RezEreView::kStartPage);

    QVERIFY(Drop(*page->view, {QUrl::fromLocalFile(sample_)}));
    QVERIFY(ended.wait(10000));
    QCOMPARE(page->view->State(), CGUI_RezEreView::kBrowserPage);
    QVERIFY(page->view->BkfPath() == ToU16(sample_));
    QCOMPARE(page->view->GetCatalogue().CatalogueRowCount(), 3);
    // On the browser page a drop would throw the catalogue away: refused.
    QVERIFY(!Drop(*page->view, {QUrl::fromLocalFile(sample_)}));

    const QString snapshot = dir_.filePath("dropped.TWBKF");
    {
      ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return snapshot; });
      QSignalSpy saved(page->view.get(), &CGUI_RezEreView::snapshotSaved);
      page->view->SaveSnapshot();
      QVERIFY(saved.wait(10000));
    }
    page->view->Back();
    ended.clear();
    QVERIFY(Drop(*page->view, {QUrl::fromLocalFile(snapshot)}));
    QVERIFY(ended.wait(10000));
    QCOMPARE(page->view->GetCatalogue().CatalogueRowCount(), 3);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0][0].toString(), sample_);
    QCOMPARE(opened[1][0].toString(), snapshot);
  }

  void aDropWithNoFileThereSaysSoAsNextDoes() {
    auto page = StartPage();
    MessageRecorder messages;
    QVERIFY(Drop(*page->view, {QUrl::fromLocalFile(dir_.filePath("gone.bkf"))}));
    QCOMPARE(messages.texts, QStringList{ToQString(texts::kSelectValidFile)});
    QCOMPARE(page->view->State(), CGUI_RezEreView::kStartPage);
  }

  void f2RenamesAndBackspaceGoesToTheParentFolder() {
    auto page = Scanned(sample_);
    QVERIFY(page);
    page->view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page->view.get()));
    QAbstractItemModel* model = page->tree->model();
    const QModelIndex set = model->index(0, 0, model->index(0, 0));
    page->tree->expandAll();
    const QModelIndex docs = model->index(0, 0, set);
    const QModelIndex reports = model->index(0, 0, docs);
    QCOMPARE(reports.data().toString(), QString("Reports"));
    page->tree->setCurrentIndex(reports);
    page->tree->setFocus();

    QTest::keyClick(page->tree, Qt::Key_Backspace);
    QCOMPARE(page->tree->currentIndex(), docs);
    page->list->setFocus();
    QTest::keyClick(page->list, Qt::Key_Backspace);
    QCOMPARE(page->tree->currentIndex(), set);

    int asked = 0;
    ScopedRenameRoutine answer([&](QWidget*, const QString&) {
      ++asked;
      return std::optional<QString>("Renamed");
    });
    page->tree->setFocus();
    QTest::keyClick(page->tree, Qt::Key_F2);
    QCOMPARE(asked, 1);
    QCOMPARE(set.data().toString(), QString("Renamed"));
  }

  void dialogsRememberTheirFolderAndTheSnapshotDialogSuggestsAName() {
    auto page = Scanned(sample_);
    QVERIFY(page);
    const QString elsewhere = dir_.filePath("elsewhere");
    QVERIFY(QDir().mkpath(elsewhere));
    QStringList folders;
    QStringList names;
    ScopedFileDialogRoutine answer([&](CNKFileDialog& dialog) {
      folders.append(dialog.directory().absolutePath());
      names.append(dialog.selectedFiles().value(0));
      return QDir(elsewhere).filePath("kept");
    });
    QSignalSpy saved(page->view.get(), &CGUI_RezEreView::snapshotSaved);
    MessageRecorder messages(mb::kIdYes);  // the second replaces the first
    page->view->SaveSnapshot();
    QVERIFY(saved.wait(10000));
    page->view->SaveSnapshot();
    QVERIFY(saved.wait(10000));
    // First in the BKF file's folder, named after it; then where the last one went.
    QCOMPARE(folders, (QStringList{dir_.path(), elsewhere}));
    QCOMPARE(QFileInfo(names.value(0)).fileName(), QString("conveniences.TWBKF"));
    QVERIFY(QFile::exists(QDir(elsewhere).filePath("kept.TWBKF")));

    // Each kind keeps its own folder.
    const QString backups = dir_.filePath("backups");
    QVERIFY(QDir().mkpath(backups));
    folders.clear();
    page->view->Back();
    ScopedFileDialogRoutine browse([&](CNKFileDialog& dialog) {
      folders.append(dialog.directory().absolutePath());
      return QDir(backups).filePath("x.bkf");
    });
    page->view->Browse();
    page->view->Browse();
    QCOMPARE(folders.value(1), backups);
    QCOMPARE(QSettings().value("Dialogs/bkf").toString(), backups);
    QCOMPARE(QSettings().value("Dialogs/snapshot").toString(), elsewhere);
  }

  void theSaveSummaryNamesTheFolderMadeAndOpensIt() {
    auto page = Scanned(sample_);
    QVERIFY(page);
    CheckEveryRow(*page);
    QTemporaryDir target;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return target.path(); });
    QList<QUrl> launched;
    ScopedUrlLauncher launcher([&](const QUrl& url) {
      launched.append(url);
      return true;
    });
    QSignalSpy percent(page->view.get(), &CGUI_RezEreView::progressPercent);
    MessageRecorder messages(mb::kIdOpenFolder);
    page->view->SaveCheckedFiles();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts[0].startsWith("Saved into " + target.filePath("RecBKF") + "\n3 file(s) saved"),
             qPrintable(messages.texts[0]));
    QCOMPARE(launched, QList<QUrl>{QUrl::fromLocalFile(target.filePath("RecBKF"))});
    QVERIFY(!percent.isEmpty());
    QCOMPARE(percent.constLast().constFirst().toInt(), -1);
    // The next save asks in the folder of the last.
    QString asked;
    ScopedFileDialogRoutine again([&](CNKFileDialog& dialog) {
      asked = dialog.directory().absolutePath();
      return QString();
    });
    page->view->SaveCheckedFiles();
    QCOMPARE(asked, QDir(target.path()).absolutePath());
  }

  void verifyReportsTheDamagedFilesInAListToCopyOrKeep() {
    auto page = Scanned(damaged_);
    QVERIFY(page);
    CheckEveryRow(*page);
    const QString kept = dir_.filePath("report.txt");
    const QStringList answers = {damaged_, kept};
    int dialogs = 0;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return answers.value(dialogs++); });
    MessageRecorder messages;
    QString shown;
    WhenModal<VerifyReportDialog>([&](VerifyReportDialog& report) {
      shown = report.Report();
      QTest::mouseClick(report.findChild<QPushButton*>("copy"), Qt::LeftButton);
      QTest::mouseClick(report.findChild<QPushButton*>("saveAsText"), Qt::LeftButton);
      QTest::mouseClick(report.findChild<QPushButton*>("close"), Qt::LeftButton);
    });
    QSignalSpy percent(page->view.get(), &CGUI_RezEreView::progressPercent);
    const QByteArray before = [&] {
      QFile file(damaged_);
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    page->view->VerifyCheckedFiles();

    // Every file that is not verified, the unchecked ones too.
    const QString expected =
        "3 file(s): 1 verified, 1 damaged, 1 unchecked, 0 incomplete, 0 stored encrypted, 0 stored compressed, "
        "0 skipped.\nBKF\\BACKUP SET 1(Daily)\\Docs\\hit.doc: damaged, the data does not match the checksum stored "
        "with it\nBKF\\BACKUP SET 1(Daily)\\Docs\\empty.ini: unchecked, an empty file has no data to check";
    QCOMPARE(shown, expected);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    // The backup itself is never replaced by the report; asked again.
    QCOMPARE(dialogs, 2);
    QCOMPARE(messages.texts, QStringList{ToQString(texts::kReportOverBkf)});
    QFile report(kept);
    QVERIFY(report.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(report.readAll()), expected + "\n");
    QFile bkf(damaged_);
    QVERIFY(bkf.open(QIODevice::ReadOnly));
    QCOMPARE(bkf.readAll(), before);
    QVERIFY(!percent.isEmpty());
    QCOMPARE(percent.constLast().constFirst().toInt(), -1);
    QVERIFY(!page->view->Session().Busy());
  }

  void aDraggedBorderMovesThePanes() {
    auto page = Scanned(sample_);
    QVERIFY(page);
    QWidget* handle = page->view->findChild<QWidget*>("treeHandle");
    QVERIFY(handle && handle->isVisible());
    const int before = page->tree->width();
    QSignalSpy changed(page->view.get(), &CGUI_RezEreView::splitChanged);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(150, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(150, 0));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(page->tree->width(), before + 150);
    QCOMPARE(page->list->x(), page->tree->x() + page->tree->width());
    QCOMPARE(page->view->Split().treeWidth, std::optional<int>(before + 150));

    QWidget* border = page->view->findChild<QWidget*>("listHandle");
    const int captionTop = page->view->findChild<QWidget*>("caption")->y();
    QTest::mousePress(border, Qt::LeftButton, {}, border->rect().center());
    QTest::mouseMove(border, border->rect().center() - QPoint(0, 100));
    QTest::mouseRelease(border, Qt::LeftButton, {}, border->rect().center() - QPoint(0, 100));
    QCOMPARE(page->view->findChild<QWidget*>("caption")->y(), captionTop - 100);
    QCOMPARE(changed.size(), 2);
  }

  void columnsFitTheirTextsAndACutTextShowsWholeInATooltip() {
    auto page = Scanned(sample_);
    QVERIFY(page);
    const QFontMetrics metrics = page->list->fontMetrics();
    for (const int column : {3, 4}) {
      QVERIFY(page->list->columnWidth(column) >= metrics.horizontalAdvance("09/05/2007 11:59:59"));
    }
    for (int column = 0; column < page->list->model()->columnCount(); ++column) {
      const QString heading = page->list->model()->headerData(column, Qt::Horizontal).toString();
      QVERIFY(page->list->columnWidth(column) >= page->list->header()->fontMetrics().horizontalAdvance(heading));
    }

    page->tree->setCurrentIndex(page->tree->model()->index(0, 0, page->tree->model()->index(0, 0, page->tree->model()->index(0, 0))));
    QTRY_VERIFY(page->list->model()->rowCount() > 1);
    const QModelIndex type = page->list->model()->index(1, 1);
    const QString text = type.data().toString();
    QVERIFY(!text.isEmpty());
    const auto tipAt = [&](const QModelIndex& index) {
      QToolTip::hideText();
      const QPoint at = page->list->visualRect(index).center();
      QHelpEvent help(QEvent::ToolTip, at, page->list->viewport()->mapToGlobal(at));
      QCoreApplication::sendEvent(page->list->viewport(), &help);
      return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(type), QString());
    page->list->setColumnWidth(1, 12);
    QCOMPARE(tipAt(type), text);
  }
  // Back, Load, Rename and a second snapshot wait while a snapshot is written
  // from the catalogue: none may empty it or move its rows under the writer.
  void whileASnapshotIsWrittenItsRowsStayAsTheyAre() {
    auto page = Scanned(sample_);
    QVERIFY(page);
    page->view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page->view.get()));
    QAbstractItemModel* model = page->tree->model();
    const QModelIndex set = model->index(0, 0, model->index(0, 0));
    page->tree->setCurrentIndex(set);
    const QString setName = set.data().toString();
    const int rows = page->view->GetCatalogue().CatalogueRowCount();
    const QString target = dir_.filePath("held.TWBKF");
    int dialogs = 0;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) {
      ++dialogs;
      return target;
    });
    int renames = 0;
    ScopedRenameRoutine rename([&](QWidget*, const QString&) {
      ++renames;
      return std::optional<QString>("Renamed");
    });
    MessageRecorder messages(mb::kIdYes);
    QSignalSpy saved(page->view.get(), &CGUI_RezEreView::snapshotSaved);
    page->view->SaveSnapshot();
    // The write holds the catalogue until its end has reached this thread.
    page->view->Back();
    page->tree->setFocus();
    QTest::keyClick(page->tree, Qt::Key_F2);
    page->view->SaveSnapshot();
    page->view->LoadSnapshotFile(target);
    const QString wait = ToQString(desktop::kWaitForSnapshot);
    QCOMPARE(messages.texts, (QStringList{wait, wait, wait}));
    QCOMPARE(dialogs, 1);
    QCOMPARE(renames, 0);
    QCOMPARE(page->view->State(), CGUI_RezEreView::kBrowserPage);
    QCOMPARE(page->view->GetCatalogue().CatalogueRowCount(), rows);
    QCOMPARE(set.data().toString(), setName);

    QVERIFY(saved.wait(10000));
    QCOMPARE(saved.first().first().toBool(), true);
    QVERIFY(QFileInfo(target).size() > 0);
    page->view->Back();
    QCOMPARE(page->view->State(), CGUI_RezEreView::kStartPage);
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::ViewConveniencesTest)
#include "view_conveniences_test.moc"
