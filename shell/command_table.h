// The commands of the menu bar and the toolbar: identifier, menu, item text
// (with the key that reaches it from the menu), place on the toolbar and the
// prompt that the status bar shows while the item is highlighted. Menus list
// their items in table order.
#pragma once

#include <array>

namespace tallowin {

enum CommandId : int {
  kIdRecover = 61493,
  kIdSaveSnapshot = 61494,
  kIdLoadSnapshot = 61495,
  kIdExit = 57665,
  kIdLiveUpdate = 61496,
  kIdSettings = 61497,
  kIdSearchFiles = 61498,
  kIdAbout = 61499,
  kIdHelp = 61500,
  kIdVerifyFiles = 61501,
  kIdVerifyAllFiles = 61502,
  kIdRecoveryReport = 61503,
};

enum class Menu { kFile, kTools, kHelp };

struct Command {
  CommandId id;
  Menu menu;
  const char* text;
  int toolbarPosition;  // 1 to 7; 0 when the command has no button
  const char* prompt;
  bool separatorAfter;
  const char* shortcut = "";  // the standard key of the desktop, where there is one
};

inline constexpr std::array<Command, 12> kCommands{{
    {kIdRecover, Menu::kFile, "&Recover...", 1, "Recover", true, "Ctrl+O"},
    {kIdSaveSnapshot, Menu::kFile, "&Save Recovery Snapshot...", 2, "Save Recovery ", false, "Ctrl+S"},
    {kIdLoadSnapshot, Menu::kFile, "&Load Recovery Snapshot...", 3, "Load Recovery", false, "Ctrl+L"},
    {kIdExit, Menu::kFile, "E&xit", 0, "Quit the application; prompts to save documents", false, "Ctrl+Q"},
    {kIdLiveUpdate, Menu::kTools, "&Live Update", 5, "LiveUpdate", false},
    {kIdSettings, Menu::kTools, "&Settings...", 0, "Settings", false},
    {kIdSearchFiles, Menu::kTools, "Search &Files...", 4, "Search Files..", true, "Ctrl+F"},
    {kIdVerifyFiles, Menu::kTools, "&Verify Checked Files...", 0, "Verify the checked files", false},
    {kIdVerifyAllFiles, Menu::kTools, "Verify &All Files...", 0, "Verify every file of the catalogue", false,
     "Ctrl+Shift+V"},
    {kIdRecoveryReport, Menu::kTools, "Recovery &Report...", 0,
     "What the recovery found: the data sets, the damage and the verdicts", false, "Ctrl+R"},
    {kIdAbout, Menu::kHelp, "&About Tallowin for BKF...", 7, "About..", false},
    {kIdHelp, Menu::kHelp, "&Help", 6, "Help..", false},
}};

inline constexpr int kToolbarButtons = 7;

}  // namespace tallowin
