#pragma once

// Every text the controller shows the user, byte for byte. The other layers keep their
// own catalogues: render/render_messages.h, platform/messages/platform_messages.h and
// shell/menu_titles.h.

#include "controller/translation_marker.h"

namespace quillhaven::messages {

inline constexpr const char* ready =
    QT_TRANSLATE_NOOP("Quillhaven", "準備完了");
inline constexpr const char* checkingMainDisplay =
    QT_TRANSLATE_NOOP("Quillhaven", "メインディスプレイを確認中");
inline constexpr const char* noMainDisplaySummary =
    QT_TRANSLATE_NOOP("Quillhaven", "メインディスプレイなし");
inline constexpr const char* notchPresentLabel =
    QT_TRANSLATE_NOOP("Quillhaven", "ノッチあり・");
inline constexpr const char* notchAbsentLabel =
    QT_TRANSLATE_NOOP("Quillhaven", "ノッチなし・");
inline constexpr const char* sizeSeparator =
    QT_TRANSLATE_NOOP("Quillhaven", " × ");

inline constexpr const char* effectOn =
    QT_TRANSLATE_NOOP("Quillhaven", "ノッチを目立たなくしています");
inline constexpr const char* noMainDisplay =
    QT_TRANSLATE_NOOP("Quillhaven", "メインディスプレイを取得できませんでした");
inline constexpr const char* noNotch =
    QT_TRANSLATE_NOOP("Quillhaven", "メインディスプレイにノッチが見つかりません");
inline constexpr const char* noCurrentWallpaper =
    QT_TRANSLATE_NOOP("Quillhaven", "現在の壁紙を取得できませんでした");
inline constexpr const char* stillImagesOnly =
    QT_TRANSLATE_NOOP("Quillhaven", "静止画の壁紙だけに対応しています");
inline constexpr const char* originalNotRecorded =
    QT_TRANSLATE_NOOP("Quillhaven", "元の壁紙を記録できないため、壁紙を変更しません");
inline constexpr const char* pictureUnreadablePrefix =
    QT_TRANSLATE_NOOP("Quillhaven", "壁紙のファイルを読み込めません: ");
inline constexpr const char* originalMissingPrefix =
    QT_TRANSLATE_NOOP("Quillhaven", "元の壁紙が見つかりません: ");
inline constexpr const char* originalUnusablePrefix =
    QT_TRANSLATE_NOOP("Quillhaven", "元の壁紙の記録を使えません: ");
inline constexpr const char* processing =
    QT_TRANSLATE_NOOP("Quillhaven", "壁紙を処理しています…");

inline constexpr const char* noOriginalRecord =
    QT_TRANSLATE_NOOP("Quillhaven", "元の壁紙の記録がありません");
inline constexpr const char* restored =
    QT_TRANSLATE_NOOP("Quillhaven", "元の壁紙に戻しました");
inline constexpr const char* restoreFailedPrefix =
    QT_TRANSLATE_NOOP("Quillhaven", "元の壁紙に戻せませんでした: ");
inline constexpr const char* restoreNotTaken =
    QT_TRANSLATE_NOOP("Quillhaven", "デスクトップが設定を反映しませんでした");

inline constexpr const char* launchAtLoginOn =
    QT_TRANSLATE_NOOP("Quillhaven", "ログイン時の起動を有効にしました");
inline constexpr const char* launchAtLoginOff =
    QT_TRANSLATE_NOOP("Quillhaven", "ログイン時の起動を無効にしました");
inline constexpr const char* loginItemFailedPrefix =
    QT_TRANSLATE_NOOP("Quillhaven", "ログイン項目を変更できませんでした: ");

}  // namespace quillhaven::messages
