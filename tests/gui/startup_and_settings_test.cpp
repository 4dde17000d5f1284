// Start-up as a single instance, and the Folder Setting dialog.
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>

#include "browser/widgets/folder_setting_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/text_qt.h"
#include "shell/tallowin_app.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class StartupAndSettingsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  std::filesystem::path LockPath() const { return PathFromQString(dir_.filePath("instance.lock")); }
  static void LeaveOldLog() {
    QFile log(QDir::homePath() + "/TwBkf.log");
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("old run");
  }
  static bool OldLogThere() { return QFile::exists(QDir::homePath() + "/TwBkf.log"); }

 private slots:
  void firstInstanceOpensMaximisedAndStartsANewLog() {
    LeaveOldLog();
    InstanceGuard guard(LockPath());
    QVERIFY(!guard.AnotherInstance());
    TallowinApp program(guard);
    MessageRecorder messages;
    QVERIFY(program.InitInstance({}));
    QVERIFY(messages.texts.isEmpty());
    CMainFrame* frame = program.Frame();
    QCOMPARE(frame->windowTitle(), QString("Tallowin for BKF"));
    QVERIFY(frame->windowState() & Qt::WindowMaximized);
    QVERIFY(!frame->windowIcon().isNull());
    QCOMPARE(frame->View()->State(), CGUI_RezEreView::kStartPage);
    QVERIFY(!OldLogThere());
    QCOMPARE(frame->Values().folderPrefix, std::u16string(u"Rec"));
    QVERIFY(!frame->Values().log.GenerateLog());
  }

  void secondInstanceIsRefusedAndTouchesNothing() {
    InstanceGuard first(LockPath());
    LeaveOldLog();
    InstanceGuard second(LockPath());
    QVERIFY(second.AnotherInstance());
    TallowinApp program(second);
    MessageRecorder messages;
    QVERIFY(!program.InitInstance({}));
    QCOMPARE(messages.texts, QStringList{"Another Instance of Tallowin for BKF is running "});
    QCOMPARE(messages.captions, QStringList{"Tallowin for BKF"});
    QCOMPARE(messages.owners, std::vector<QWidget*>{nullptr});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kIconExclamation});
    QVERIFY(program.Frame() == nullptr);
    QVERIFY(OldLogThere());
  }

  void aStartAfterTheFirstEndedSucceeds() {
    { InstanceGuard first(LockPath()); }
    InstanceGuard next(LockPath());
    QVERIFY(!next.AnotherInstance());
  }

  // One user's program never refuses another's: each has a lock of its own
  // in its own runtime folder, and without one the user id is in the name.
  void eachUserHasALockOfItsOwn() {
    const QString first = dir_.filePath("runtime-a"), second = dir_.filePath("runtime-b");
    QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", first.toUtf8());
    const auto firstPath = InstanceGuard::DefaultLockPath();
    InstanceGuard a(firstPath);
    qputenv("XDG_RUNTIME_DIR", second.toUtf8());
    const auto secondPath = InstanceGuard::DefaultLockPath();
    InstanceGuard b(secondPath);
    QVERIFY(!a.AnotherInstance() && !b.AnotherInstance());
    QCOMPARE(QString::fromStdString(firstPath.parent_path().string()), first);
    InstanceGuard again(secondPath);
    QVERIFY(again.AnotherInstance());
    qunsetenv("XDG_RUNTIME_DIR");
    const std::string shared = InstanceGuard::DefaultLockPath().filename().string();
    QVERIFY(shared.find("-" + std::to_string(::getuid()) + ".lock") != std::string::npos);
    if (saved.isNull()) {
      qunsetenv("XDG_RUNTIME_DIR");
    } else {
      qputenv("XDG_RUNTIME_DIR", saved);
    }
  }

  void aBkfFileOnTheCommandLineIsRecoveredAtOnce() {
    MtfWriter writer;
    writer.Tape().DataSet(u"S").File({.name = u"x.txt", .data = "x"}).Align();
    const QString path = dir_.filePath("argument.bkf");
    writer.WriteTo(PathFromQString(path));
    InstanceGuard guard(LockPath());
    TallowinApp program(guard);
    QVERIFY(program.InitInstance({path}));
    QSignalSpy ended(program.Frame()->View(), &CGUI_RezEreView::scanEnded);
    QCOMPARE(program.Frame()->View()->State(), CGUI_RezEreView::kBrowserPage);
    QVERIFY(ended.wait(10000));
    QCOMPARE(program.Frame()->View()->GetCatalogue().CatalogueRowCount(), 1);
  }

  void settingsDialogStartsFromTheRunsValues() {
    SharedValues values;
    FolderSettingDialog dialog(values, nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Folder Setting"));
    QCOMPARE(dialog.PrefixBox()->text(), QString("Rec"));
    QVERIFY(!dialog.GenerateLogBox()->isChecked());
  }

  void settingsDialogStoresOnOk() {
    for (const QString& prefix : {QString("Saved \"x\""), QString()}) {
      SharedValues values;
      FolderSettingDialog dialog(values, nullptr);
      dialog.PrefixBox()->setText(prefix);
      dialog.GenerateLogBox()->setChecked(true);
      MessageRecorder messages;
      dialog.accept();
      QVERIFY(messages.texts.isEmpty());
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QCOMPARE(ToQString(values.folderPrefix), prefix);
      QVERIFY(values.log.GenerateLog());
    }
  }

  void settingsDialogRefusesAnIllegalPrefixAndCancelKeepsAll() {
    for (const QChar illegal : QString("/\\|*:?<>'")) {
      SharedValues values;
      FolderSettingDialog dialog(values, nullptr);
      dialog.show();
      dialog.PrefixBox()->setText(QString("Rec") + illegal);
      dialog.GenerateLogBox()->setChecked(true);
      MessageRecorder messages;
      dialog.accept();
      QCOMPARE(messages.texts, QStringList{"Illegal character found in file pre fix "});
      QCOMPARE(messages.styles, std::vector<unsigned>{mb::kIconInformation});
      QVERIFY(dialog.isVisible());
      dialog.reject();
      QCOMPARE(values.folderPrefix, std::u16string(u"Rec"));
      QVERIFY(!values.log.GenerateLog());
    }
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::StartupAndSettingsTest)
#include "startup_and_settings_test.moc"
