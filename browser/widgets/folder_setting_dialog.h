// The "Folder Setting" dialog: edits the folder name prefix of saves and the
// Generate Log switch for this run.
#pragma once

#include <QDialog>

#include "save/save_settings.h"

class QCheckBox;
class QLineEdit;

namespace tallowin {

class FolderSettingDialog : public QDialog {
  Q_OBJECT

 public:
  FolderSettingDialog(SharedValues& values, QWidget* owner);

  QLineEdit* PrefixBox() const { return prefix_; }
  QCheckBox* GenerateLogBox() const { return generateLog_; }

  // OK: an illegal prefix is refused with a message and the dialog stays;
  // otherwise both values are stored and the dialog closes.
  void accept() override;

 private:
  SharedValues& values_;
  QLineEdit* prefix_;
  QCheckBox* generateLog_;
};

}  // namespace tallowin
