// The desktop program's recovery session: the catalogue with what the
// browser shows of it, the scan engine, the threads that run scans,
// snapshot loads and snapshot saves (a scan and a load are stopped through
// their thread's own stop), and the one state that tells what the session
// is doing. The view shows the state, and every command asks Allows()
// whether it may run now; nothing else tells "busy".
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include <QObject>
#include <QString>

#include "save/row_verdicts.h"
#include "save/save_settings.h"
#include "browser/widgets/browser_state.h"
#include "browser/widgets/scan_events.h"
#include "browser/widgets/session_command.h"
#include "catalog/catalogue.h"
#include "catalog/snapshot.h"
#include "engine/bkf_scanner.h"

namespace tallowin {

enum class SessionActivity {
  kIdle,
  kScanning,   // from Next until the view has shown the scan's end
  kLoading,    // a snapshot load, from its start until the view has shown its end
  kSaving,     // the checked files are being saved
  kVerifying,  // the checked files are being verified
  kSearching,  // the Search Files dialog is open
};

class RecoverySessionController : public QObject {
  Q_OBJECT

 public:
  // What a snapshot load asks of the user interface, on its thread.
  struct LoadQuestions {
    // The recorded BKF file is missing: the one to use instead, or nothing.
    std::function<std::optional<std::u16string>(std::u16string_view recordedPath)> locateMissingBkf;
    // The header lines are read and the rows are about to come.
    std::function<void(std::u16string_view bkfPath)> rowsBegin;
  };

  RecoverySessionController(SharedValues& values, FileTypeLookup lookup, BkfOpener opener,
                            QObject* parent = nullptr);
  ~RecoverySessionController() override;

  SessionActivity Activity() const { return activity_; }
  // A scan or a load fills the catalogue: the rows are not yet all there.
  bool Filling() const { return activity_ == SessionActivity::kScanning || activity_ == SessionActivity::kLoading; }
  // Any work under way: saving and searching too.
  bool Busy() const { return activity_ != SessionActivity::kIdle; }
  // A snapshot is being written from the catalogue: nothing may drop the
  // rows or change their folders until it is done.
  bool WritingSnapshot() const { return writingSnapshot_; }
  // The catalogue is on show (the browser page): from the start of a scan,
  // or of a load's rows, until Back.
  bool Browsing() const { return browsing_; }
  void SetBrowsing(bool browsing) { browsing_ = browsing; }
  // Whether `command` may run now: Refusal::kNone, or why not.
  Refusal Allows(SessionCommand command) const;
  // The modal save and search say when they run.
  void Begin(SessionActivity activity);
  void End() { activity_ = SessionActivity::kIdle; }

  Catalogue& GetCatalogue() { return catalogue_; }
  const Catalogue& GetCatalogue() const { return catalogue_; }
  // What saves and verifications found of the catalogue's rows.
  RowVerdicts& Verdicts() { return verdicts_; }
  const RowVerdicts& Verdicts() const { return verdicts_; }
  // The folders' check states, the open folder's list and the folders'
  // marks; the tree and the lists follow its signals.
  BrowserState& Shown() { return shown_; }
  const BrowserState& Shown() const { return shown_; }
  // Empties the catalogue, its verdicts and everything the browser kept of it.
  void ForgetCatalogue();
  ScanEvents& Events() { return events_; }
  const ScanEvents& Events() const { return events_; }
  // The snapshot of the last load; empty after a scan.
  const std::u16string& SnapshotPath() const { return snapshotPath_; }
  const std::u16string& BkfPath() const { return bkfPath_; }
  const BkfOpener& Opener() const { return opener_; }
  // The user named another BKF file for the loaded rows.
  void UseBkfFile(const std::u16string& path) { bkfPath_ = path; }
  int LoadPercent() const { return loadPercent_.load(std::memory_order_relaxed); }

  // Starts the recovery of `path`: the log lines, the recovery worker that
  // empties the catalogue and starts the scan.
  void StartRecovery(const std::u16string& path);
  // Loads the snapshot at `path` on a worker; `questions` are asked on the
  // user-interface thread while the worker waits.
  void StartLoad(const std::u16string& path, LoadQuestions questions);
  // Stops the scan or the load; the rows so far stay.
  void Stop();
  // Stop was asked for since the scan or load began.
  bool StopAsked() const { return (loadLast_ ? loadWorker_ : recoveryWorker_).get_stop_token().stop_requested(); }
  // Writes a snapshot of the catalogue on a worker; the user has agreed to
  // replace whatever file is there.
  void SaveSnapshot(const std::u16string& target);
  // Before the program ends: a snapshot being written is finished, a scan or
  // load is stopped, so that nothing is cut short or left running.
  void FinishBackgroundWork();
  // The view has shown the end of a scan or a load.
  void FillingShown() { End(); }

 signals:
  void loadFinished(const tallowin::SnapshotLoadResult& result);
  void snapshotSaved(bool ok, const QString& error);

 private:
  class LoadObserver;

  SharedValues& values_;
  Catalogue catalogue_;
  RowVerdicts verdicts_;
  BrowserState shown_{catalogue_, verdicts_};
  ScanEvents events_;
  BkfOpener opener_;
  CBkfScanner scanner_;
  SessionActivity activity_ = SessionActivity::kIdle;
  // Beside the activity: saving files or searching may go on meanwhile.
  bool writingSnapshot_ = false;
  bool browsing_ = false;
  std::u16string bkfPath_;
  std::u16string snapshotPath_;
  bool loadLast_ = false;  // the last scan or load was a load
  std::atomic<int> loadPercent_{0};
  bool loadRunning_ = false;  // until the load's end has reached this thread
  // Declared last so that they are stopped and joined before anything they
  // use goes away. The recovery worker runs the scan itself.
  std::jthread recoveryWorker_;
  std::jthread loadWorker_;
  std::jthread snapshotWorker_;
};

}  // namespace tallowin
