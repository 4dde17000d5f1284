// What the desktop program's tests share: a private home and settings folder
// (so that no test touches the user's log or settings), the program's dialogs
// answered by the test, and BKF files that the test controls.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include <QApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "browser/widgets/message_box.h"
#include "engine/bkf_file.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"

namespace tallowin::test {

// Runs the test object with HOME and the settings in a folder of their own.
#define TALLOWIN_GUI_TEST_MAIN(TestObject)                                     \
  int main(int argc, char** argv) {                                            \
    QTemporaryDir home;                                                        \
    qputenv("HOME", home.path().toUtf8());                                     \
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());            \
    qputenv("QT_QPA_PLATFORM", "offscreen");                                   \
    QApplication application(argc, argv);                                      \
    TestObject test;                                                           \
    return QTest::qExec(&test, argc, argv);                                    \
  }

// Answers every message with `answer` and remembers its text and style.
class MessageRecorder {
 public:
  explicit MessageRecorder(int answer = mb::kIdOk)
      : answer_(answer),
        scope_([this](QWidget* owner, const QString& text, const QString& caption, unsigned style) {
          texts.append(text);
          captions.append(caption);
          styles.push_back(style);
          owners.push_back(owner);
          return answer_;
        }) {}
  void Answer(int answer) { answer_ = answer; }

  QStringList texts;
  QStringList captions;
  std::vector<unsigned> styles;
  std::vector<QWidget*> owners;

 private:
  int answer_;
  ScopedMessageRoutine scope_;
};

// A BKF image whose reads past the first stop until the test lets them go,
// so that a test can act while a scan is certainly running.
class Gate {
 public:
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  void WaitOpen() {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  bool SomeoneWaits() {
    std::lock_guard lock(mutex_);
    return waiting_ > 0;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int waiting_ = 0;
};

class GatedReader : public MemoryReader {
 public:
  GatedReader(std::vector<std::byte> bytes, std::shared_ptr<Gate> gate)
      : MemoryReader(std::move(bytes)), gate_(std::move(gate)) {}
  std::size_t ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override {
    if (offset > 0) gate_->WaitOpen();
    return MemoryReader::ReadAt(offset, buffer);
  }

 private:
  std::shared_ptr<Gate> gate_;
};

inline BkfOpener GatedOpener(std::vector<std::byte> bytes, std::shared_ptr<Gate> gate) {
  return [bytes = std::move(bytes), gate = std::move(gate)](const std::filesystem::path&) {
    return std::unique_ptr<BkfReader>(std::make_unique<GatedReader>(bytes, gate));
  };
}

// A backup of one set with a file in its first window and, 2 MiB later,
// another: a scan stopped in between finds only the first.
inline std::vector<std::byte> TwoDistantFiles() {
  MtfWriter writer;
  writer.Tape().DataSet(u"Nightly").Directory(u"Docs").File({.name = u"first.txt", .data = "one"});
  writer.PadTo(2u << 20).Directory(u"Later").File({.name = u"second.txt", .data = "two"});
  writer.Align();
  return writer.Bytes();
}

}  // namespace tallowin::test
