// The program's one message-box routine. Every message goes through it: an
// owner window (or none), the text, the caption, and a style made of the
// standard icon and button flags. It returns the standard identifier of the
// button pressed. Tests put their own routine in place to answer messages.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include <QString>

#include "browser/widgets/scoped_routine.h"

class QMessageBox;
class QWidget;

namespace tallowin {

namespace mb {
// Buttons.
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kYesNo = 0x4;
// Icons.
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
// An "Open Folder" button beside OK.
inline constexpr unsigned kOpenFolderButton = 0x1000;
// Answers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdOpenFolder = 100;
}  // namespace mb

using MessageRoutine =
    std::function<int(QWidget* owner, const QString& text, const QString& caption, unsigned style)>;

// Shows the message with the routine in place (normally the modal box).
int ShowMessage(QWidget* owner, const QString& text, const QString& caption, unsigned style);
// The same with the caption "Tallowin for BKF".
int ShowMessage(QWidget* owner, const QString& text, unsigned style);

// The modal box itself: the shaded look, the icon's sound.
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned style);
// The box that ShowMessageBox shows, ready to be shown.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text, const QString& caption,
                                            unsigned style);

// The routine in place; ShowMessageBox unless a test put another there.
MessageRoutine& CurrentMessageRoutine();

class ScopedMessageRoutine : public ScopedRoutine<MessageRoutine> {
 public:
  explicit ScopedMessageRoutine(MessageRoutine routine)
      : ScopedRoutine(CurrentMessageRoutine(), std::move(routine)) {}
};

}  // namespace tallowin
