#include "shell/main_frame.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "browser/widgets/folder_setting_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/hover_button.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "shell/about_box.h"
#include "shell/launcher.h"
#include "common/mime_file_types.h"

namespace tallowin {
namespace {

constexpr QSize kLargeIcon(42, 35);
constexpr QSize kSmallIcon(16, 16);

}  // namespace

CMainFrame::CMainFrame(QWidget* parent, BkfOpener opener) : QMainWindow(parent) {
  values_.log.DeleteLogFile();
  startDirectory_ = QDir::currentPath();
  if (!startDirectory_.endsWith(u'/')) startDirectory_ += u'/';

  view_ = new CGUI_RezEreView(values_, this, MimeFileType, std::move(opener));
  setCentralWidget(view_);
  CreateCommandBars();
  CreateStatusBar();
  CreateLogoBox();
  RestoreCommandBars();
}

void CMainFrame::CreateCommandBars() {
  menuBar()->setObjectName("Menu Bar");
  QMenu* menus[] = {menuBar()->addMenu("&File"), menuBar()->addMenu("&Tools"), menuBar()->addMenu("&Help")};
  const QList<QPixmap> large = pictures::CutStrip(pictures::kToolbarLarge, kLargeIcon, kToolbarButtons);
  const QList<QPixmap> small = pictures::CutStrip(pictures::kToolbarSmall, kSmallIcon, kToolbarButtons);
  QAction* onToolbar[kToolbarButtons] = {};

  for (const Command& command : kCommands) {
    auto* action = new QAction(command.text, this);
    action->setObjectName(QString::number(command.id));
    action->setStatusTip(command.prompt);
    action->setData(command.id);
    if (command.toolbarPosition > 0) {
      QIcon icon;
      icon.addPixmap(large[command.toolbarPosition - 1]);
      icon.addPixmap(small[command.toolbarPosition - 1]);
      action->setIcon(icon);
      onToolbar[command.toolbarPosition - 1] = action;
    }
    QMenu* menu = menus[static_cast<int>(command.menu)];
    menu->addAction(action);
    if (command.separatorAfter) menu->addSeparator();
    actions_.insert(command.id, action);
  }
  actions_[kIdHelp]->setShortcut(QKeySequence::HelpContents);
  actions_[kIdHelp]->setShortcutContext(Qt::ApplicationShortcut);

  connect(actions_[kIdRecover], &QAction::triggered, this, &CMainFrame::OnRecover);
  connect(actions_[kIdSaveSnapshot], &QAction::triggered, this, &CMainFrame::OnSaveSnapshot);
  connect(actions_[kIdLoadSnapshot], &QAction::triggered, this, &CMainFrame::OnLoadSnapshot);
  connect(actions_[kIdExit], &QAction::triggered, this, &QWidget::close);
  connect(actions_[kIdLiveUpdate], &QAction::triggered, this, &CMainFrame::OnLiveUpdate);
  connect(actions_[kIdSettings], &QAction::triggered, this, &CMainFrame::OnSettings);
  connect(actions_[kIdSearchFiles], &QAction::triggered, this, &CMainFrame::OnSearchFiles);
  connect(actions_[kIdAbout], &QAction::triggered, this, &CMainFrame::OnAbout);
  connect(actions_[kIdHelp], &QAction::triggered, this, &CMainFrame::OnHelp);

  toolbar_ = addToolBar("Standard");
  toolbar_->setObjectName("Standard");
  toolbar_->setIconSize(kLargeIcon);
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (QAction* action : onToolbar) toolbar_->addAction(action);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // The message pane says "Ready" whenever no prompt is shown.
  connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
    if (text.isEmpty()) bar->showMessage(ToQString(texts::kReady));
  });
  bar->showMessage(ToQString(texts::kReady));
  // Qt does not tell the lock states, so the indicators stay in their idle look.
  for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
    auto* pane = new QLabel(indicator, bar);
    pane->setObjectName(indicator);
    pane->setEnabled(false);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(40);
    bar->addPermanentWidget(pane);
  }
}

void CMainFrame::CreateLogoBox() {
  logoBox_ = new QWidget(this);
  logoBox_->setObjectName("logoBox");
  auto* button = new CHoverButton(logoBox_);
  button->setObjectName("1002");
  button->SetPicture(pictures::Render(pictures::kLogo, QSize(160, 51)));
  button->setToolTip(ToQString(texts::kHomePageTooltip));
  button->setGeometry(0, 0, kLogoWidth, kLogoHeight);
  connect(button, &QAbstractButton::clicked, this, &CMainFrame::OpenHomePage);
  PlaceLogoBox();
  logoBox_->show();
}

void CMainFrame::PlaceLogoBox() {
  logoBox_->setGeometry(width() - kLogoWidth, kLogoTop, kLogoWidth, kLogoHeight);
  logoBox_->raise();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceLogoBox();
}

bool CMainFrame::RefuseWhileScanning() {
  // A snapshot load fills the catalogue as a scan does.
  if (!view_->Session().Filling()) return false;
  ShowMessage(this, ToQString(texts::kStopScanFirst), mb::kIconExclamation);
  return true;
}

void CMainFrame::OnRecover() { view_->Recover(); }

void CMainFrame::OnSaveSnapshot() {
  if (view_->State() == CGUI_RezEreView::kStartPage || RefuseWhileScanning()) return;
  view_->SaveSnapshot();
}

void CMainFrame::OnLoadSnapshot() {
  if (view_->State() == CGUI_RezEreView::kBrowserPage || view_->Session().Busy()) return;
  view_->LoadSnapshot();
}

void CMainFrame::OnSearchFiles() {
  if (view_->State() == CGUI_RezEreView::kStartPage || RefuseWhileScanning()) return;
  SearchFilesDialog dialog(view_->GetCatalogue(), this);
  view_->Session().Begin(SessionActivity::kSearching);
  dialog.exec();
  view_->Session().End();
}

void CMainFrame::OnLiveUpdate() {
  ShowMessage(this,
              ProductNameAndVersion() +
                  "\n\nNo update service is configured for this installation: new versions come "
                  "with the packages of your distribution.",
              mb::kIconInformation);
}

void CMainFrame::OnSettings() {
  FolderSettingDialog dialog(values_, this);
  dialog.exec();
}

void CMainFrame::OnAbout() {
  AboutBox box(this);
  box.exec();
}

void CMainFrame::OnHelp() {
  const QString path = startDirectory_ + kHelpFileName;
  if (!QFileInfo::exists(path)) {
    ShowMessage(this, ToQString(texts::kHelpMissing),
                mb::kIconExclamation);
    return;
  }
  LaunchUrl(QUrl::fromLocalFile(path));
}

void CMainFrame::OpenHomePage() { LaunchUrl(kHomePage); }

void CMainFrame::SaveCommandBars() const {
  QSettings settings;
  settings.beginGroup(kSettingsSection);
  settings.setValue("Options/LargeIcons", toolbar_->iconSize() == kLargeIcon);
  settings.setValue("Layout", saveState());
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
    settings.setValue("Shortcuts/" + QString::number(it.key()), it.value()->shortcut().toString());
  }
}

void CMainFrame::RestoreCommandBars() {
  QSettings settings;
  settings.beginGroup(kSettingsSection);
  if (settings.contains("Options/LargeIcons")) {
    toolbar_->setIconSize(settings.value("Options/LargeIcons").toBool() ? kLargeIcon : kSmallIcon);
  }
  restoreState(settings.value("Layout").toByteArray());
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
    const QString key = "Shortcuts/" + QString::number(it.key());
    if (settings.contains(key)) it.value()->setShortcut(QKeySequence(settings.value(key).toString()));
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The layout is kept even when the user then decides to stay.
  SaveCommandBars();
  if (ShowMessage(this, ToQString(texts::kConfirmExit), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes) {
    event->ignore();
    return;
  }
  // Nothing is cut short: a snapshot being written is finished first.
  view_->FinishBackgroundWork();
  OpenHomePage();
  event->accept();
}

}  // namespace tallowin
