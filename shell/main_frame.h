// The program's one window: the menu bar, the "Standard" toolbar, the status
// bar, the logo box and the main view. It turns every command into a call on
// the view or a dialog, applies the guards that keep commands away from a
// running scan, and holds the values that the whole program shares.
#pragma once

#include <utility>

#include <QAction>
#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "save/save_settings.h"
#include "browser/widgets/session_command.h"
#include "engine/bkf_file.h"
#include "shell/command_table.h"
#include "common/version_text.h"

class QAbstractButton;
class QLabel;
class QMenu;
class QToolBar;

namespace tallowin {

class CGUI_RezEreView;
class CHoverButton;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kLogoWidth = 170;
  static constexpr int kLogoHeight = 56;
  static constexpr int kLogoTop = 24;
  static inline const QUrl kHomePage{QString::fromLatin1(kHomePageUrl.data(), kHomePageUrl.size())};
  static constexpr const char* kSettingsSection = "CommandBars2";
  static constexpr const char* kHelpFileName = "Tallowin for Bkf.chm";
  static constexpr const char* kWindowSection = "Window";

  // Starts the run: a new log (the old file is deleted), the default
  // settings, the start directory taken from the current directory.
  // `opener` opens BKF files for the view's scans.
  explicit CMainFrame(QWidget* parent = nullptr, BkfOpener opener = OpenBkfFile);

  CGUI_RezEreView* View() const { return view_; }
  SharedValues& Values() { return values_; }
  QAction* Action(CommandId id) const { return actions_.value(id); }
  QToolBar* StandardBar() const { return toolbar_; }
  QWidget* LogoBox() const { return logoBox_; }
  const QString& StartDirectory() const { return startDirectory_; }

  void OnRecover();
  void OnSaveSnapshot();
  void OnLoadSnapshot();
  void OnLiveUpdate();
  void OnSettings();
  void OnSearchFiles();
  void OnVerifyFiles();
  void OnVerifyAllFiles();
  void OnRecoveryReport();
  // A second start of the program handed its file (empty for none): the
  // window comes to the front and opens it when it can.
  void TakeHandedFile(const QString& path);
  void OnAbout();
  void OnHelp();
  void OpenHomePage();

  void SaveCommandBars() const;
  void RestoreCommandBars();
  // Shows the window maximised over its normal place: where the user left
  // it, at first a centred window of 80% of the screen.
  void ShowMainWindow();
  // Where Help looks for the HTML manual when the help file is missing or
  // nothing opens it, first place first.
  const QStringList& ManualPlaces() const { return manualPlaces_; }
  void SetManualPlaces(QStringList places) { manualPlaces_ = std::move(places); }
  QMenu* RecentMenu() const { return recentMenu_; }
  QLabel* CheckedPane() const { return checkedPane_; }
  QLabel* SetCataloguePane() const { return setCataloguePane_; }
  QLabel* CataloguePane() const { return cataloguePane_; }
  QAbstractButton* ReportOffer() const { return reportOffer_; }
  QToolBar* FilterBar() const { return filterBar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateCommandBars();
  void CreateRecentMenu(QMenu* fileMenu);
  void FillRecentMenu();
  void ShowCheckedTotals();
  void ShowProgressInTitle(int percent);
  // The commands that cannot work on the page shown are disabled.
  void EnableCommands();
  void ShowNote();
  void CreateStatusBar();
  void CreateLogoBox();
  void PlaceLogoBox();
  // Whether the session lets `command` run now; a refusal is told in a
  // message of this window.
  bool Permits(SessionCommand command);

  SharedValues values_;
  QString startDirectory_;
  CGUI_RezEreView* view_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QWidget* logoBox_ = nullptr;
  QHash<int, QAction*> actions_;
  QMenu* recentMenu_ = nullptr;
  QLabel* checkedPane_ = nullptr;
  QLabel* setCataloguePane_ = nullptr;
  QLabel* cataloguePane_ = nullptr;
  QAbstractButton* reportOffer_ = nullptr;
  QToolBar* filterBar_ = nullptr;
  QStringList manualPlaces_;
};

}  // namespace tallowin
