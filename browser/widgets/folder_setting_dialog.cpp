#include "browser/widgets/folder_setting_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/dialog_units.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

FolderSettingDialog::FolderSettingDialog(SharedValues& values, QWidget* owner)
    : QDialog(owner), values_(values), prefix_(new QLineEdit(this)), generateLog_(new QCheckBox(this)) {
  setWindowTitle(ToQString(desktop::kFolderSettingTitle));
  UseDialogUnitFont(*this);
  setFixedSize(DialogSize(244, 106));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  auto* prefixLabel = new QLabel(ToQString(desktop::kPrefixLabel), this);
  prefixLabel->setBuddy(prefix_);
  // The desktop's font is wider than the units assume: the label reaches as
  // far as the box, so that its text is not cut.
  prefixLabel->setGeometry(DialogRect(23, 27, 77, 13));
  prefix_->setObjectName("prefix");
  prefix_->setGeometry(DialogRect(100, 25, 112, 15));
  prefix_->setText(ToQString(values_.folderPrefix));

  generateLog_->setObjectName("generateLog");
  generateLog_->setGeometry(DialogRect(23, 55, 8, 8).adjusted(0, 0, 6, 4));
  generateLog_->setChecked(values_.log.GenerateLog());
  auto* logLabel = new QLabel(ToQString(desktop::kGenerateLogLabel), this);
  logLabel->setBuddy(generateLog_);
  logLabel->setGeometry(DialogRect(36, 55, 146, 13));

  auto* ok = new QPushButton(ToQString(desktop::kOkButton), this);
  ok->setObjectName("ok");
  ok->setGeometry(DialogRect(59, 85, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(ToQString(desktop::kCancelButton), this);
  cancel->setObjectName("cancel");
  cancel->setGeometry(DialogRect(130, 85, 50, 14));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  DescribeControls(*this);
}

void FolderSettingDialog::accept() {
  const std::u16string prefix = ToU16(prefix_->text());
  if (!IsLegalFolderPrefix(prefix)) {
    ShowMessage(this, ToQString(desktop::kIllegalPrefix), mb::kIconInformation);
    return;
  }
  values_.folderPrefix = prefix;
  values_.log.SetGenerateLog(generateLog_->isChecked());
  QDialog::accept();
}

}  // namespace tallowin
