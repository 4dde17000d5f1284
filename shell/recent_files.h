// The BKF files and snapshots the user opened last, newest first, kept in
// the settings for File > Recent.
#pragma once

#include <QString>
#include <QStringList>

namespace tallowin {

class RecentFiles {
 public:
  static constexpr int kMaxFiles = 8;

  QStringList Files() const;
  // Puts `path` (made absolute) first; an earlier entry for it goes, and
  // the oldest beyond kMaxFiles.
  void Add(const QString& path);
  void Clear();
};

}  // namespace tallowin
