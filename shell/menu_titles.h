#pragma once

// The titles of the menu's own commands, byte for byte, marked for Qt's translation tools.
// The status and display lines come from the controller's catalogue.

#include <QtGlobal>

namespace quillhaven::menu_titles {

inline constexpr const char* appName = "Quillhaven";
inline constexpr const char* toggleEffect = QT_TRANSLATE_NOOP("Quillhaven", "ノッチを目立たなくする");
inline constexpr const char* launchAtLogin = QT_TRANSLATE_NOOP("Quillhaven", "ログイン時に起動");
inline constexpr const char* reprocess = QT_TRANSLATE_NOOP("Quillhaven", "壁紙を再処理");
inline constexpr const char* quitKeepingWallpaper =
    QT_TRANSLATE_NOOP("Quillhaven", "壁紙を維持して終了");
inline constexpr const char* restoreAndQuit = QT_TRANSLATE_NOOP("Quillhaven", "元に戻して終了");

}  // namespace quillhaven::menu_titles
