// The recovery session in the real main view: the start page's checks, a
// live scan into the lists, Stop, Back and the end of a scan.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTreeView>

#include "browser/widgets/file_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/text_qt.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class RecoverySessionTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;

  std::unique_ptr<CGUI_RezEreView> MakeView(SharedValues& values, BkfOpener opener = OpenBkfFile) {
    auto view = std::make_unique<CGUI_RezEreView>(values, nullptr, nullptr, std::move(opener));
    view->resize(1000, 700);
    view->show();
    return view;
  }
  template <typename T>
  static T* Find(const CGUI_RezEreView& view, const char* name) {
    return view.findChild<T*>(name);
  }
  static bool Shown(const CGUI_RezEreView& view, const char* name) {
    return Find<QWidget>(view, name)->isVisible();
  }
  static QByteArray LogBytes(const SharedValues& values) {
    QFile file(QStringFromPath(values.log.Path()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static QByteArray Utf16Le(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  }

 private slots:
  void initTestCase() {
    MtfWriter writer;
    writer.Tape().DataSet(u"Weekly").Directory(u"Docs\\Reports").File({.name = u"q1.txt", .data = "1234"});
    writer.File({.name = u"q2.txt", .data = "abcdef"}).Directory(u"Pictures").File({.name = u"cat.jpg"});
    writer.Align();
    sample_ = dir_.filePath("sample.bkf");
    writer.WriteTo(PathFromQString(sample_));
  }

  void startPageShowsOnlyItsControls() {
    SharedValues values;
    auto view = MakeView(values);
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
    for (const char* name : {"prompt", "pathBox", "browse", "next"}) QVERIFY2(Shown(*view, name), name);
    for (const char* name : {"folderTree", "fileList", "caption", "catalogueList", "progressBar", "stop",
                             "back", "save", "searchingLabel", "progressLabel", "foundLabel"}) {
      QVERIFY2(!Shown(*view, name), name);
    }
    QCOMPARE(Find<QLabel>(*view, "prompt")->text(), QString("Please select the file to repair"));
    QCOMPARE(Find<QWidget>(*view, "next")->toolTip(), QString("Add Files to repair"));
  }

  void nextWithEmptyBoxOnlyBrowses() {
    SharedValues values;
    auto view = MakeView(values);
    int dialogs = 0;
    QString title;
    QStringList filters;
    ScopedFileDialogRoutine answer([&](CNKFileDialog& dialog) {
      ++dialogs;
      title = dialog.windowTitle();
      filters = dialog.nameFilters();
      return sample_;
    });
    view->Recover();
    QCOMPARE(dialogs, 1);
    QCOMPARE(title, QString("Select BKF file for recovery..."));
    QCOMPARE(filters, QStringList({"Backup Files(*.bkf)", "All Files(*.*)"}));
    QCOMPARE(view->PathBox()->text(), sample_);
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
    QCOMPARE(view->Session().Activity(), SessionActivity::kIdle);

    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);
    view->Recover();
    QCOMPARE(dialogs, 1);
    QVERIFY(ended.wait(10000));
  }

  void nextWithMissingFileKeepsTheStartPageAndWritesNoLog() {
    SharedValues values;
    values.log.SetGenerateLog(true);
    values.log.DeleteLogFile();
    auto view = MakeView(values);
    MessageRecorder messages;
    view->PathBox()->setText(dir_.filePath("missing.bkf"));
    view->Recover();
    QCOMPARE(messages.texts, QStringList{"Please select valid file by using Browse Button"});
    QCOMPARE(messages.captions, QStringList{"Tallowin for BKF"});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kIconExclamation});
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
    QVERIFY(LogBytes(values).isEmpty());
  }

  void scanFillsTheListsAndEndsWithResultButtons() {
    SharedValues values;
    values.log.SetGenerateLog(true);
    values.log.DeleteLogFile();
    auto view = MakeView(values);
    QTableView* list = Find<QTableView>(*view, "catalogueList");
    QTreeView* tree = Find<QTreeView>(*view, "folderTree");
    QAbstractItemModelTester listTester(list->model());
    QAbstractItemModelTester treeTester(tree->model());
    QAbstractItemModelTester fileListTester(Find<QTreeView>(*view, "fileList")->model());
    MessageRecorder messages;
    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);

    view->PathBox()->setText(sample_);
    view->Recover();
    QCOMPARE(view->State(), CGUI_RezEreView::kBrowserPage);
    QCOMPARE(view->Session().Activity(), SessionActivity::kScanning);
    for (const char* name : {"folderTree", "fileList", "caption", "catalogueList", "stop"}) {
      QVERIFY2(Shown(*view, name), name);
    }
    QVERIFY(!Shown(*view, "prompt"));
    QVERIFY(ended.wait(10000));

    QCOMPARE(ended.constFirst().constFirst().toInt(), 3);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(view->Session().Activity(), SessionActivity::kIdle);
    QVERIFY(Shown(*view, "back") && Shown(*view, "save"));
    for (const char* name : {"stop", "progressBar", "progressLabel", "foundLabel", "searchingLabel"}) {
      QVERIFY2(!Shown(*view, name), name);
    }
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->model()->index(0, 0).data().toString(),
             QString("BKF\\BACKUP SET 1(Weekly)\\Docs\\Reports\\q1.txt"));
    QCOMPARE(list->model()->index(1, 2).data().toString(), QString("6"));
    for (int row = 0; row < 3; ++row) {
      QCOMPARE(list->model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
      QCOMPARE(list->model()->index(row, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
      QCOMPARE(list->model()->index(row, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(248, 233, 243));
    }
    // Every node checked, everything collapsed but the first top-level node.
    const QModelIndex top = tree->model()->index(0, 0);
    QCOMPARE(top.data().toString(), QString("BKF"));
    QVERIFY(tree->isExpanded(top));
    const QModelIndex set = tree->model()->index(0, 0, top);
    QCOMPARE(set.data().toString(), QString("BACKUP SET 1(Weekly)"));
    QVERIFY(!tree->isExpanded(set));
    QCOMPARE(set.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QCOMPARE(tree->model()->rowCount(set), 2);

    const QByteArray log = LogBytes(values);
    QVERIFY(log.startsWith(Utf16Le(sample_ + "\r\nSUCC 0001\r\nSUCC 0002\r\nSUCC 0003\r\nSUCC 0004\r\n")));
  }

  void scanWithoutRowsReturnsToTheStartPage() {
    SharedValues values;
    const QString empty = dir_.filePath("zeros.bkf");
    MtfWriter().PadTo(200000).WriteTo(PathFromQString(empty));
    auto view = MakeView(values);
    MessageRecorder messages;
    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);
    view->PathBox()->setText(empty);
    view->Recover();
    QVERIFY(ended.wait(10000));
    QCOMPARE(messages.texts, QStringList{"No data found in backup file"});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kIconInformation});
    QCOMPARE(messages.owners, std::vector<QWidget*>{view.get()});
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
    QVERIFY(Shown(*view, "next") && !Shown(*view, "folderTree"));
    QCOMPARE(view->PathBox()->text(), empty);
    QCOMPARE(view->Session().Activity(), SessionActivity::kIdle);
  }

  // The program's own message stays, and the cause follows on a second line.
  void aFileHeldByAnotherProgramSaysSoOnASecondLine() {
    SharedValues values;
    auto view = MakeView(values);
    MessageRecorder messages;
    CBkfFile holder;
    QVERIFY(holder.Open(sample_.toStdString()));
    view->PathBox()->setText(sample_);
    view->Recover();
    QTRY_COMPARE(messages.texts, QStringList{"Some Error occoured while opening file. Make sure that file is not shared\n"
                                             "in use by another program"});
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
  }

  void unopenableFileReturnsToTheStartPage() {
    SharedValues values;
    auto view = MakeView(values, [](const std::filesystem::path&) { return std::unique_ptr<BkfReader>(); });
    MessageRecorder messages;
    view->PathBox()->setText(sample_);
    view->Recover();
    QTRY_COMPARE(messages.texts,
                 QStringList{"Some Error occoured while opening file. Make sure that file is not shared"});
    QCOMPARE(messages.owners, std::vector<QWidget*>{nullptr});
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
    QVERIFY(!Shown(*view, "stop") && !Shown(*view, "progressBar"));
    QCOMPARE(view->Session().Activity(), SessionActivity::kIdle);
  }

  void stopAnsweredNoLetsTheScanGoOn() {
    SharedValues values;
    auto gate = std::make_shared<Gate>();
    auto view = MakeView(values, GatedOpener(TwoDistantFiles(), gate));
    MessageRecorder messages(mb::kIdNo);
    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);
    view->PathBox()->setText(sample_);
    view->Recover();
    QTRY_VERIFY(gate->SomeoneWaits());
    view->StopClicked();
    QCOMPARE(messages.texts, QStringList{"Do you really want to stop repairing process"});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kYesNo | mb::kIconExclamation});
    QVERIFY(Shown(*view, "stop"));
    gate->Open();
    QVERIFY(ended.wait(10000));
    QCOMPARE(view->GetCatalogue().CatalogueRowCount(), 2);
  }

  void stopAnsweredYesKeepsTheRowsFoundSoFar() {
    SharedValues values;
    auto gate = std::make_shared<Gate>();
    auto view = MakeView(values, GatedOpener(TwoDistantFiles(), gate));
    MessageRecorder messages(mb::kIdYes);
    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);
    view->PathBox()->setText(sample_);
    view->Recover();
    QTRY_VERIFY(gate->SomeoneWaits());
    QTRY_COMPARE(Find<QTableView>(*view, "catalogueList")->model()->rowCount(), 1);
    QVERIFY(Find<QLabel>(*view, "foundLabel")->text() == "File(s) Found : 1");
    view->StopClicked();
    QVERIFY(!Shown(*view, "stop") && !Shown(*view, "progressBar"));
    gate->Open();
    QVERIFY(ended.wait(10000));
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(view->GetCatalogue().CatalogueRowCount(), 1);
    QVERIFY(view->GetCatalogue().IsRowChecked(0));
    QVERIFY(Shown(*view, "back") && Shown(*view, "save"));
    QCOMPARE(view->State(), CGUI_RezEreView::kBrowserPage);
  }

  void recoverWhileScanningDoesNothingAndAfterwardsAsksForTheSave() {
    SharedValues values;
    auto gate = std::make_shared<Gate>();
    auto view = MakeView(values, GatedOpener(TwoDistantFiles(), gate));
    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);
    QStringList asked;
    ScopedFileDialogRoutine answer([&](CNKFileDialog& dialog) {
      asked.append(dialog.windowTitle());
      return QString();
    });
    view->PathBox()->setText(sample_);
    view->Recover();
    QTRY_VERIFY(gate->SomeoneWaits());
    view->Recover();
    QVERIFY(asked.isEmpty());
    gate->Open();
    QVERIFY(ended.wait(10000));
    QCOMPARE(ended.size(), 1);
    view->Recover();
    QCOMPARE(asked, QStringList{"Select the folder for the recovered files"});
    QTest::mouseClick(Find<QWidget>(*view, "save"), Qt::LeftButton);
    QCOMPARE(asked.size(), 2);
  }

  void backEmptiesTheCatalogueAndKeepsThePath() {
    SharedValues values;
    auto view = MakeView(values);
    QSignalSpy ended(view.get(), &CGUI_RezEreView::scanEnded);
    view->PathBox()->setText(sample_);
    view->Recover();
    QVERIFY(ended.wait(10000));
    QTest::mouseClick(Find<QWidget>(*view, "back"), Qt::LeftButton);
    QCOMPARE(view->State(), CGUI_RezEreView::kStartPage);
    QCOMPARE(view->PathBox()->text(), sample_);
    QCOMPARE(view->GetCatalogue().CatalogueRowCount(), 0);
    QCOMPARE(Find<QTreeView>(*view, "folderTree")->model()->rowCount(), 0);
    QCOMPARE(Find<QProgressBar>(*view, "progressBar")->value(), 0);
    for (const char* name : {"folderTree", "catalogueList", "back", "save", "stop", "foundLabel"}) {
      QVERIFY2(!Shown(*view, name), name);
    }
    QVERIFY(Shown(*view, "next") && Shown(*view, "browse"));
    // Next again scans the same file into an empty catalogue.
    view->Recover();
    QVERIFY(ended.wait(10000));
    QCOMPARE(view->GetCatalogue().CatalogueRowCount(), 3);
  }

  void controlsSitWhereTheLayoutSaysAtEverySize() {
    SharedValues values;
    auto view = MakeView(values);
    for (const QSize size : {QSize(1000, 700), QSize(560, 420)}) {
      view->resize(size);
      const ViewLayout layout = ComputeViewLayout(size.width(), size.height());
      const std::pair<const char*, ViewRect> expected[] = {
          {"folderTree", layout.folderTree},       {"fileList", layout.fileList},
          {"caption", layout.captionImage},        {"catalogueList", layout.catalogueList},
          {"progressBar", layout.progressBar},     {"searchingLabel", layout.searchingLabel},
          {"progressLabel", layout.progressLabel}, {"foundLabel", layout.foundFilesLabel},
          {"stop", layout.stopButton},             {"back", layout.backButton},
          {"save", layout.saveButton},             {"prompt", layout.promptLabel},
          {"pathBox", layout.pathBox},             {"browse", layout.browseButton},
          {"next", layout.nextButton}};
      for (const auto& [name, rect] : expected) {
        QCOMPARE(Find<QWidget>(*view, name)->geometry(), QRect(rect.left, rect.top, rect.width, rect.height));
      }
    }
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::RecoverySessionTest)
#include "recovery_session_test.moc"
