// What the window says of the catalogue it shows: a scan cut short by Stop
// says where, in the status bar and the title, for as long as its rows are
// shown; the Recovery Report lists the data sets, the damage and the
// verdicts, and is offered when a scan ends with damage; Back asks before it
// drops what the user changed; a second start hands its file over.
#include <thread>

#include <QAbstractButton>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>

#include "browser/widgets/file_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/text_report_dialog.h"
#include "browser/widgets/verify_report_dialog.h"
#include "shell/tallowin_app.h"
#include "shell/main_frame.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class CatalogueNotesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString damaged_;

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
  static bool Scan(CMainFrame& frame, const QString& path) {
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(path);
    frame.OnRecover();
    return ended.wait(10000);
  }

 private slots:
  // A set with a damaged file and a file whose folder block was lost.
  void initTestCase() {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"Daily").Directory(u"Here");
    writer.FileWithStreams({.name = u"plain.bin", .data = "at home"});
    writer.FileWithStreams({.name = u"bad.doc", .data = std::string(3000, 'b'), .wrongChecksum = true});
    writer.FileWithStreams({.name = u"near.bin", .data = "its folder lost"});
    writer.Patch(writer.LastFile().block + 76, 9, 4).ResealBlock(writer.LastFile().block);
    damaged_ = dir_.filePath("damaged.bkf");
    writer.WriteTo(PathFromQString(damaged_));
  }

  void aStoppedScanSaysWhereInTheStatusBarAndTheTitleUntilBack() {
    auto gate = std::make_shared<Gate>();
    CMainFrame frame(nullptr, GatedOpener(TwoDistantFiles(), gate));
    frame.show();
    MessageRecorder messages(mb::kIdYes);
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(damaged_);
    frame.OnRecover();
    QTRY_VERIFY(gate->SomeoneWaits());
    // The progress line tells the sizes in their units.
    auto* progress = frame.View()->findChild<QLabel*>("progressLabel");
    const QRegularExpression line(R"(^Progress : [0-9.]+ (bytes|KiB|MiB) \\ 2\.0 MiB(, about \d+ (s|min) left)?$)");
    QTRY_VERIFY2(line.match(progress->text()).hasMatch(), qPrintable(progress->text()));
    frame.View()->StopClicked();
    gate->Open();
    QVERIFY(ended.wait(10000));
    const QRegularExpression note(R"(^Stopped at \d+% \([0-9.]+ (bytes|KiB|MiB) of 2\.0 MiB\): the catalogue is partial$)");
    QVERIFY2(note.match(frame.CataloguePane()->text()).hasMatch(), qPrintable(frame.CataloguePane()->text()));
    QVERIFY(frame.CataloguePane()->isVisible());
    QCOMPARE(frame.windowTitle(), frame.CataloguePane()->text() + " \u2013 Tallowin for BKF");
    frame.View()->Back();
    QVERIFY(!frame.CataloguePane()->isVisible());
    QCOMPARE(frame.windowTitle(), QString("Tallowin for BKF"));
  }

  // Offered when the scan found damage; the verdicts join once known; the
  // text is copied and kept as it is shown.
  void theRecoveryReportTellsTheSetsTheDamageAndTheVerdicts() {
    CMainFrame frame;
    frame.show();
    QVERIFY(Scan(frame, damaged_));
    QVERIFY(frame.ReportOffer()->isVisible());
    QString before;
    WhenModal<TextReportDialog>([&](TextReportDialog& report) {
      before = report.Text();
      report.reject();
    });
    frame.ReportOffer()->click();
    QVERIFY2(before.contains("  BACKUP SET 1(Daily): 3 file(s), 3.0 KiB, newest file"), qPrintable(before));
    QVERIFY(before.contains("Folders whose block was lost; their files are filed under the folder's number:\n"
                            "    BKF\\BACKUP SET 1(Daily)\\[lost folder 9]: 1 file(s)"));
    QVERIFY(before.contains("Verdicts\n  Not known yet: Verify All Files tells them without saving anything."));

    WhenModal<VerifyReportDialog>([](VerifyReportDialog& report) { report.reject(); });
    frame.OnVerifyAllFiles();
    const QString keptPath = dir_.filePath("report.txt");
    QString after;
    WhenModal<TextReportDialog>([&](TextReportDialog& report) {
      after = report.Text();
      report.findChild<QAbstractButton*>("copy")->click();
      ScopedFileDialogRoutine keep([&](CNKFileDialog&) { return keptPath; });
      report.findChild<QAbstractButton*>("saveAsText")->click();
      report.reject();
    });
    frame.Action(kIdRecoveryReport)->trigger();
    QVERIFY2(after.contains("Verdicts\n  3 file(s): 2 verified, 1 damaged, 0 unchecked, 0 incomplete"), qPrintable(after));
    QCOMPARE(QGuiApplication::clipboard()->text(), after);
    QFile kept(keptPath);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(kept.readAll()).contains("[lost folder 9]: 1 file(s)"));
  }

  // Back goes at once while nothing was changed; after a change it asks,
  // and No keeps the catalogue as it is.
  void backAsksOnlyWhenTheUserChangedSomething() {
    CMainFrame frame;
    frame.show();
    QVERIFY(Scan(frame, damaged_));
    MessageRecorder messages(mb::kIdNo);
    frame.View()->Back();
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(frame.View()->State(), CGUI_RezEreView::kStartPage);

    QVERIFY(Scan(frame, damaged_));
    auto* tree = frame.View()->findChild<QTreeView*>("folderTree");
    tree->setCurrentIndex(tree->model()->index(0, 0));
    QTest::keyClick(tree, Qt::Key_Space);
    QVERIFY(frame.View()->UserChanges());
    frame.View()->Back();
    QCOMPARE(messages.texts,
             QStringList{"Back forgets this catalogue, with the check marks and folder names you changed. Do you want "
                         "to go back to the start page?"});
    QCOMPARE(frame.View()->State(), CGUI_RezEreView::kBrowserPage);
    messages.Answer(mb::kIdYes);
    frame.View()->Back();
    QCOMPARE(frame.View()->State(), CGUI_RezEreView::kStartPage);
  }

  // The second start ends; the first comes to the front and recovers the file.
  void aSecondStartHandsItsFileToTheRunningOne() {
    const std::filesystem::path lock = PathFromQString(dir_.filePath("instance.lock"));
    InstanceGuard firstGuard(lock);
    TallowinApp first(firstGuard);
    QVERIFY(first.InitInstance({}));
    QSignalSpy ended(first.Frame()->View(), &CGUI_RezEreView::scanEnded);

    InstanceGuard secondGuard(lock);
    QVERIFY(secondGuard.AnotherInstance());
    TallowinApp second(secondGuard);
    bool started = true;
    // The second start waits for the first's answer, which the first gives
    // from this thread's event loop.
    std::jthread start([&] { started = second.InitInstance({damaged_}); });
    QVERIFY(ended.wait(10000));
    start.join();
    QVERIFY(!started);
    QVERIFY(second.HandedOver());
    QCOMPARE(first.Frame()->View()->GetCatalogue().CatalogueRowCount(), 3);
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::CatalogueNotesTest)
#include "catalogue_notes_test.moc"
