#include "shell/main_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/command_guard.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/filter_bar.h"
#include "browser/widgets/folder_setting_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/hover_button.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/recovery_findings.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/text_report_dialog.h"
#include "catalog/text_convert.h"
#include "browser/widgets/scoped_url_launcher.h"
#include "common/mime_file_types.h"
#include "shell/about_box.h"
#include "shell/recent_files.h"

namespace tallowin {
namespace {

constexpr QSize kLargeIcon(42, 35);
constexpr QSize kSmallIcon(16, 16);
// The share of the screen a window that is not maximised takes at first.
constexpr double kNormalShare = 0.8;

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

  // The HTML manual: beside the help file in the start directory, where the
  // program is installed, and in the source tree of a build.
  manualPlaces_ = {startDirectory_ + "manual/manual.html",
                   QCoreApplication::applicationDirPath() + "/../share/tallowin-bkf/manual/manual.html",
                   QStringLiteral(TALLOWIN_SOURCE_MANUAL)};

  QSettings settings;
  settings.beginGroup(kWindowSection);
  ViewSplit split;
  if (settings.contains("TreeWidth")) split.treeWidth = settings.value("TreeWidth").toInt();
  if (settings.contains("CaptionTop")) split.captionTop = settings.value("CaptionTop").toInt();
  view_->SetSplit(split);
  connect(view_, &CGUI_RezEreView::splitChanged, this, [this] {
    QSettings kept;
    kept.beginGroup(kWindowSection);
    const ViewSplit now = view_->Split();
    if (now.treeWidth) kept.setValue("TreeWidth", *now.treeWidth);
    if (now.captionTop) kept.setValue("CaptionTop", *now.captionTop);
  });
  connect(view_, &CGUI_RezEreView::checksChanged, this, &CMainFrame::ShowCheckedTotals);
  connect(view_, &CGUI_RezEreView::setCatalogueNote, this, [this](const QString& note) {
    setCataloguePane_->setText(note);
    setCataloguePane_->setVisible(!note.isEmpty());
  });
  connect(view_, &CGUI_RezEreView::progressPercent, this, &CMainFrame::ShowProgressInTitle);
  connect(view_, &CGUI_RezEreView::fileOpened, this, [](const QString& path) { RecentFiles().Add(path); });
  connect(view_, &CGUI_RezEreView::stateChanged, this, &CMainFrame::EnableCommands);
  connect(view_, &CGUI_RezEreView::noteChanged, this, &CMainFrame::ShowNote);
  connect(view_, &CGUI_RezEreView::damageFound, reportOffer_, &QWidget::setVisible);
  EnableCommands();
  DescribeControls(*this);
}

void CMainFrame::ShowMainWindow() {
  const QByteArray kept = QSettings().value(QString(kWindowSection) + "/Geometry").toByteArray();
  if (kept.isEmpty() || !restoreGeometry(kept)) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect available = screen->availableGeometry();
      setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, available.size() * kNormalShare, available));
    }
  }
  showMaximized();
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
    if (*command.shortcut != '\0') action->setShortcut(QKeySequence(command.shortcut));
    QMenu* menu = menus[static_cast<int>(command.menu)];
    if (command.id == kIdExit) CreateRecentMenu(menu);
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
  connect(actions_[kIdVerifyFiles], &QAction::triggered, this, &CMainFrame::OnVerifyFiles);
  connect(actions_[kIdVerifyAllFiles], &QAction::triggered, this, &CMainFrame::OnVerifyAllFiles);
  connect(actions_[kIdRecoveryReport], &QAction::triggered, this, &CMainFrame::OnRecoveryReport);
  connect(actions_[kIdAbout], &QAction::triggered, this, &CMainFrame::OnAbout);
  connect(actions_[kIdHelp], &QAction::triggered, this, &CMainFrame::OnHelp);

  toolbar_ = addToolBar("Standard");
  toolbar_->setObjectName("Standard");
  toolbar_->setIconSize(kLargeIcon);
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (QAction* action : onToolbar) toolbar_->addAction(action);

  // The quick filter over the lists, on a row of its own below the logo's
  // corner; shown with the lists.
  addToolBarBreak();
  filterBar_ = addToolBar(ToQString(desktop::kFilterToolBar));
  filterBar_->setObjectName("filterToolBar");
  filterBar_->addWidget(view_->ReleaseFilter());
}

void CMainFrame::CreateRecentMenu(QMenu* fileMenu) {
  fileMenu->addSeparator();
  recentMenu_ = fileMenu->addMenu(ToQString(desktop::kRecentMenu));
  recentMenu_->setObjectName("recentMenu");
  fileMenu->addSeparator();
  // Filled as it opens, so that it follows what other instances kept too.
  connect(recentMenu_, &QMenu::aboutToShow, this, &CMainFrame::FillRecentMenu);
  FillRecentMenu();
}

void CMainFrame::FillRecentMenu() {
  recentMenu_->clear();
  const QStringList files = RecentFiles().Files();
  // A file opens as a dropped one does: only on the start page, with nothing running.
  const bool mayOpen = view_->MayOpenFile();
  for (int i = 0; i < files.size(); ++i) {
    const QString& path = files[i];
    QAction* item = recentMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(QString(path).replace('&', "&&")));
    item->setEnabled(mayOpen);
    connect(item, &QAction::triggered, this, [this, path] { view_->OpenNamedFile(path); });
  }
  if (!files.isEmpty()) recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction(ToQString(desktop::kClearRecent));
  clear->setObjectName("clearRecent");
  clear->setEnabled(!files.isEmpty());
  connect(clear, &QAction::triggered, this, [this] {
    RecentFiles().Clear();
    FillRecentMenu();
  });
}

void CMainFrame::ShowCheckedTotals() {
  if (view_->State() != CGUI_RezEreView::kBrowserPage) {
    checkedPane_->clear();
    return;
  }
  const FolderIndex::Counts counts = view_->CheckedCounts();
  checkedPane_->setText(ToQString(desktop::kCheckedSummary)
                            .arg(QLocale().toString(static_cast<qlonglong>(counts.checked)))
                            .arg(QLocale().formattedDataSize(counts.checkedBytes)));
}

void CMainFrame::ShowProgressInTitle(int percent) {
  const QString title = ToQString(desktop::kAppTitle);
  if (percent >= 0) {
    setWindowTitle(QString("%1% \u2013 %2").arg(percent).arg(title));
  } else {
    // A partial catalogue says so for as long as it is shown.
    const CatalogueNote& note = view_->Note();
    setWindowTitle(note.partial ? note.text + " \u2013 " + title : title);
  }
}

void CMainFrame::ShowNote() {
  cataloguePane_->setText(view_->Note().text);
  cataloguePane_->setVisible(!view_->Note().text.isEmpty());
  ShowProgressInTitle(-1);
}

void CMainFrame::EnableCommands() {
  const bool browsing = view_->State() == CGUI_RezEreView::kBrowserPage;
  for (const CommandId id : {kIdSaveSnapshot, kIdSearchFiles, kIdVerifyFiles, kIdVerifyAllFiles, kIdRecoveryReport}) {
    actions_[id]->setEnabled(browsing);
  }
  actions_[kIdLoadSnapshot]->setEnabled(!browsing);
  filterBar_->setVisible(browsing);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // The message pane says "Ready" whenever no prompt is shown.
  connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
    if (text.isEmpty()) bar->showMessage(ToQString(desktop::kReady));
  });
  bar->showMessage(ToQString(desktop::kReady));
  // What the catalogue is (partial, from a snapshot), and the offer of the
  // Recovery Report when the scan found damage.
  cataloguePane_ = new QLabel(bar);
  cataloguePane_->setObjectName("cataloguePane");
  cataloguePane_->hide();
  bar->addPermanentWidget(cataloguePane_);
  auto* offer = new QPushButton(ToQString(desktop::kDamageFound), bar);
  offer->setObjectName("reportOffer");
  offer->setFlat(true);
  offer->hide();
  connect(offer, &QPushButton::clicked, this, &CMainFrame::OnRecoveryReport);
  reportOffer_ = offer;
  bar->addPermanentWidget(offer);
  // Files that the backup's own catalogue gave back stay told after a scan.
  setCataloguePane_ = new QLabel(bar);
  setCataloguePane_->setObjectName("setCataloguePane");
  setCataloguePane_->hide();
  bar->addPermanentWidget(setCataloguePane_);
  checkedPane_ = new QLabel(bar);
  checkedPane_->setObjectName("checkedPane");
  bar->addPermanentWidget(checkedPane_);
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
  button->setToolTip(ToQString(desktop::kHomePageTooltip));
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

bool CMainFrame::Permits(SessionCommand command) {
  return CommandGuard(view_->Session(), this).Permits(command);
}

void CMainFrame::OnRecover() { view_->Recover(); }

void CMainFrame::OnSaveSnapshot() {
  if (Permits(SessionCommand::kSaveSnapshot)) view_->SaveSnapshot();
}

void CMainFrame::OnLoadSnapshot() {
  if (Permits(SessionCommand::kLoadSnapshot)) view_->LoadSnapshot();
}

void CMainFrame::OnSearchFiles() {
  if (!Permits(SessionCommand::kSearch)) return;
  SearchFilesDialog dialog(view_->GetCatalogue(), this);
  view_->Session().Begin(SessionActivity::kSearching);
  dialog.exec();
  view_->Session().End();
  if (const std::optional<RowIndex> row = dialog.ChosenRow()) view_->ShowRow(*row);
}

// The view guards the verification as it guards the save.
void CMainFrame::OnVerifyFiles() { view_->VerifyCheckedFiles(); }

void CMainFrame::OnVerifyAllFiles() { view_->VerifyAllFiles(); }

void CMainFrame::OnRecoveryReport() {
  if (!Permits(SessionCommand::kRecoveryReport)) return;
  RecoverySessionController& session = view_->Session();
  TextReportDialog report(ToQString(desktop::kRecoveryReportTitle),
                          RecoveryReportText(session, FindRecoveryFindings(session)), PathFromUtf16(view_->BkfPath()),
                          this);
  report.exec();
}

void CMainFrame::TakeHandedFile(const QString& path) {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  if (path.isEmpty()) return;
  if (view_->MayOpenFile()) {
    view_->OpenNamedFile(path);
  } else {
    ShowMessage(this, ToQString(desktop::CannotOpenNow(ToU16(path), view_->State() == CGUI_RezEreView::kBrowserPage)),
                mb::kIconExclamation);
  }
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
  // A help file needs a viewer that few desktops have; the HTML manual is
  // the same text for any browser.
  const QString path = startDirectory_ + kHelpFileName;
  if (QFileInfo::exists(path) && LaunchUrl(QUrl::fromLocalFile(path))) return;
  for (const QString& manual : manualPlaces_) {
    if (QFileInfo(manual).isFile()) {
      if (LaunchUrl(QUrl::fromLocalFile(QFileInfo(manual).absoluteFilePath()))) return;
      break;
    }
  }
  ShowMessage(this, ToQString(desktop::kHelpMissing), mb::kIconExclamation);
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
    // An empty key kept by an earlier version does not take away a standard one.
    const QString kept = settings.value("Shortcuts/" + QString::number(it.key())).toString();
    if (!kept.isEmpty()) it.value()->setShortcut(QKeySequence(kept));
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The layout is kept even when the user then decides to stay.
  SaveCommandBars();
  if (ShowMessage(this, ToQString(desktop::kConfirmExit), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes) {
    event->ignore();
    return;
  }
  QSettings().setValue(QString(kWindowSection) + "/Geometry", saveGeometry());
  // Nothing is cut short: a snapshot being written is finished first.
  view_->FinishBackgroundWork();
  OpenHomePage();
  event->accept();
}

}  // namespace tallowin
