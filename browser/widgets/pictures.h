// The program's pictures, drawn from the SVG files of the resources at the
// exact pixel sizes the windows ask for.
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace tallowin::pictures {

inline constexpr const char* kAppIcon = ":/icons/app.svg";
inline constexpr const char* kLogo = ":/pictures/logo.svg";
inline constexpr const char* kCaption = ":/pictures/caption.svg";
inline constexpr const char* kAbout = ":/pictures/about.svg";
inline constexpr const char* kDialog = ":/pictures/dialog.svg";
inline constexpr const char* kStartPage = ":/pictures/start_page.svg";
inline constexpr const char* kNextButton = ":/buttons/next.svg";
inline constexpr const char* kStopButton = ":/buttons/stop.svg";
inline constexpr const char* kBackButton = ":/buttons/back.svg";
inline constexpr const char* kSaveButton = ":/buttons/save.svg";
inline constexpr const char* kVerifyButton = ":/buttons/verify.svg";
inline constexpr const char* kFolderClosed = ":/tree/folder_closed.svg";
inline constexpr const char* kFolderOpen = ":/tree/folder_open.svg";
inline constexpr const char* kCheckStates = ":/tree/check_states.svg";
// The seven verdicts in their order, then the mark of a folder that holds trouble.
inline constexpr const char* kVerdicts = ":/verdicts/verdicts.svg";
inline constexpr const char* kToolbarLarge = ":/toolbar/large.svg";
inline constexpr const char* kToolbarSmall = ":/toolbar/small.svg";

// The picture at `size` pixels; transparent where the drawing leaves gaps.
QPixmap Render(const QString& resource, QSize size);
// A strip of `count` cells of `cell` pixels each, left to right, cut apart.
QList<QPixmap> CutStrip(const QString& resource, QSize cell, int count);
// The program's icon at the usual sizes.
QIcon AppIcon();

}  // namespace tallowin::pictures
