// The filter bar over the lists: a box for part of a file name and a choice
// of verdicts. Typing waits a moment before it filters, so that each key
// does not start the work over a million rows afresh; Enter and the choice
// filter at once.
#pragma once

#include <QWidget>

#include "browser/widgets/quick_filter.h"

class QComboBox;
class QLineEdit;
class QTimer;

namespace tallowin {

class FilterBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTypingPauseMilliseconds = 250;

  explicit FilterBar(QWidget* parent = nullptr);

  QuickFilter Filter() const { return filter_; }
  QLineEdit* TextBox() const { return text_; }
  QComboBox* Choice() const { return choice_; }
  // Back to no filter at all, without a word.
  void Clear();

 signals:
  // Filter() changed.
  void filterChanged();

 private:
  void Take();

  QLineEdit* text_;
  QComboBox* choice_;
  QTimer* pause_;
  QuickFilter filter_;
};

}  // namespace tallowin
