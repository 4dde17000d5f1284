// What the recovery session lets run and when: each reason refuses the
// commands it should, with its one text, and the guard tells it to the user.
#include <QSignalSpy>
#include <QWidget>

#include "browser/widgets/command_guard.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/text_qt.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class SessionGuardsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  static constexpr SessionCommand kBrowserCommands[] = {
      SessionCommand::kBack,       SessionCommand::kRenameFolder,    SessionCommand::kSaveSnapshot,
      SessionCommand::kSave,       SessionCommand::kVerify,          SessionCommand::kDragOut,
      SessionCommand::kSearch,     SessionCommand::kRecoveryReport,  SessionCommand::kCheckFiles,
      SessionCommand::kFileMenu,   SessionCommand::kBrowse};

  static QString Text(Refusal reason) { return ToQString(desktop::RefusalText(reason)); }

 private slots:
  void theStartPageTakesOnlyANewCatalogue() {
    SharedValues values;
    RecoverySessionController session(values, nullptr, OpenBkfFile);
    QCOMPARE(session.Allows(SessionCommand::kScan), Refusal::kNone);
    QCOMPARE(session.Allows(SessionCommand::kLoadSnapshot), Refusal::kNone);
    for (const SessionCommand command : kBrowserCommands) {
      QCOMPARE(session.Allows(command), Refusal::kNoCatalogue);
    }
    QVERIFY(Text(Refusal::kNoCatalogue).isEmpty());
  }

  void anIdleCatalogueLetsEveryBrowserCommandRun() {
    SharedValues values;
    RecoverySessionController session(values, nullptr, OpenBkfFile);
    session.SetBrowsing(true);
    for (const SessionCommand command : kBrowserCommands) QCOMPARE(session.Allows(command), Refusal::kNone);
    // A new catalogue waits for Back.
    QCOMPARE(session.Allows(SessionCommand::kScan), Refusal::kCatalogueShown);
    QCOMPARE(session.Allows(SessionCommand::kLoadSnapshot), Refusal::kCatalogueShown);
    QVERIFY(Text(Refusal::kCatalogueShown).isEmpty());
  }

  void whileAScanOrLoadFillsTheCatalogueItsCommandsWait() {
    for (const SessionActivity filling : {SessionActivity::kScanning, SessionActivity::kLoading}) {
      SharedValues values;
      RecoverySessionController session(values, nullptr, OpenBkfFile);
      session.SetBrowsing(true);
      session.Begin(filling);
      for (const SessionCommand command :
           {SessionCommand::kBack, SessionCommand::kRenameFolder, SessionCommand::kSaveSnapshot, SessionCommand::kSave,
            SessionCommand::kVerify, SessionCommand::kSearch, SessionCommand::kRecoveryReport}) {
        QCOMPARE(session.Allows(command), Refusal::kScanRunning);
      }
      QCOMPARE(session.Allows(SessionCommand::kCheckFiles), Refusal::kScanRunningForChecks);
      QCOMPARE(session.Allows(SessionCommand::kFileMenu), Refusal::kScanRunningForMenu);
      // A drag does not begin, without a word; the rows found so far can be shown.
      QCOMPARE(session.Allows(SessionCommand::kDragOut), Refusal::kWorkUnderWay);
      QCOMPARE(session.Allows(SessionCommand::kBrowse), Refusal::kNone);
      QCOMPARE(session.Allows(SessionCommand::kScan), Refusal::kCatalogueShown);
      session.End();
    }
    QCOMPARE(Text(Refusal::kScanRunning), QString("Please stop scanning process"));
    QCOMPARE(Text(Refusal::kScanRunningForChecks), QString("Please stop scanning process , then select files"));
    QCOMPARE(Text(Refusal::kScanRunningForMenu), QString("Please stop search scanning , then select files"));
  }

  void otherWorkLetsNoNewWorkBegin() {
    SharedValues values;
    RecoverySessionController session(values, nullptr, OpenBkfFile);
    session.SetBrowsing(true);
    for (const SessionActivity work : {SessionActivity::kSaving, SessionActivity::kVerifying, SessionActivity::kSearching}) {
      session.Begin(work);
      QCOMPARE(session.Allows(SessionCommand::kSave), Refusal::kWorkUnderWay);
      QCOMPARE(session.Allows(SessionCommand::kVerify), Refusal::kWorkUnderWay);
      QCOMPARE(session.Allows(SessionCommand::kDragOut), Refusal::kWorkUnderWay);
      session.End();
    }
    session.SetBrowsing(false);
    // A load before its rows come: the start page still shows, and nothing new begins.
    session.Begin(SessionActivity::kLoading);
    QCOMPARE(session.Allows(SessionCommand::kScan), Refusal::kWorkUnderWay);
    QCOMPARE(session.Allows(SessionCommand::kLoadSnapshot), Refusal::kWorkUnderWay);
    QVERIFY(Text(Refusal::kWorkUnderWay).isEmpty());
    session.End();
  }

  void whileASnapshotIsWrittenNothingDropsOrMovesItsRows() {
    SharedValues values;
    RecoverySessionController session(values, nullptr, OpenBkfFile);
    session.SetBrowsing(true);
    QSignalSpy saved(&session, &RecoverySessionController::snapshotSaved);
    session.SaveSnapshot(ToU16(dir_.filePath("held.TWBKF")));
    // The write holds the catalogue until its end has reached this thread.
    for (const SessionCommand command :
         {SessionCommand::kBack, SessionCommand::kRenameFolder, SessionCommand::kSaveSnapshot}) {
      QCOMPARE(session.Allows(command), Refusal::kSnapshotWriting);
    }
    // Reading the rows goes on beside it.
    QCOMPARE(session.Allows(SessionCommand::kSave), Refusal::kNone);
    QCOMPARE(session.Allows(SessionCommand::kCheckFiles), Refusal::kNone);
    QCOMPARE(session.Allows(SessionCommand::kLoadSnapshot), Refusal::kCatalogueShown);
    session.SetBrowsing(false);
    QCOMPARE(session.Allows(SessionCommand::kLoadSnapshot), Refusal::kSnapshotWriting);
    QCOMPARE(session.Allows(SessionCommand::kScan), Refusal::kSnapshotWriting);
    QCOMPARE(Text(Refusal::kSnapshotWriting), ToQString(desktop::kWaitForSnapshot));

    QVERIFY(saved.wait(10000));
    QCOMPARE(session.Allows(SessionCommand::kLoadSnapshot), Refusal::kNone);
    session.SetBrowsing(true);
    QCOMPARE(session.Allows(SessionCommand::kBack), Refusal::kNone);
  }

  void theGuardTellsEachReasonInItsOwnWay() {
    SharedValues values;
    RecoverySessionController session(values, nullptr, OpenBkfFile);
    QWidget owner;
    const CommandGuard guard(session, &owner);
    MessageRecorder messages;
    QVERIFY(!guard.Permits(SessionCommand::kSave));  // no catalogue: nothing to tell
    QVERIFY(messages.texts.isEmpty());
    session.SetBrowsing(true);
    session.Begin(SessionActivity::kScanning);
    QVERIFY(!guard.Permits(SessionCommand::kSave));
    QVERIFY(!guard.Permits(SessionCommand::kCheckFiles));
    QVERIFY(!guard.Permits(SessionCommand::kFileMenu));
    QVERIFY(!guard.Permits(SessionCommand::kDragOut));
    QVERIFY(guard.Permits(SessionCommand::kBrowse));
    QCOMPARE(messages.texts, (QStringList{Text(Refusal::kScanRunning), Text(Refusal::kScanRunningForChecks),
                                          Text(Refusal::kScanRunningForMenu)}));
    QCOMPARE(messages.styles, (std::vector<unsigned>{mb::kIconExclamation, mb::kIconQuestion, mb::kIconQuestion}));
    QCOMPARE(messages.owners, std::vector<QWidget*>(3, &owner));
    session.End();
  }

  // Verify belongs to the browser page: the start page never shows it.
  void theStartPageShowsNoVerifyButton() {
    SharedValues values;
    CGUI_RezEreView view(values);
    view.resize(1000, 700);
    view.show();
    auto* verify = view.findChild<QWidget*>("verify");
    QVERIFY(verify);
    QVERIFY(!verify->isVisible());
    QVERIFY(view.findChild<QWidget*>("next")->isVisible());
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::SessionGuardsTest)
#include "session_guards_test.moc"
