// A BKF file or a snapshot dropped on the view opens as Next or Load
// Recovery Snapshot would open it: one local file, taken only while the
// view may open one.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QWidget;

namespace tallowin {

class FileDrop : public QObject {
  Q_OBJECT

 public:
  // Watches the drops on `target`; `may` says whether a file may open now,
  // `open` opens it.
  FileDrop(QWidget& target, std::function<bool()> may, std::function<void(const QString& path)> open);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool()> may_;
  std::function<void(const QString& path)> open_;
};

}  // namespace tallowin
