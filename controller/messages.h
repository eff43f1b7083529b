#pragma once

// Every text the controller shows the user, byte for byte.

namespace quillhaven::messages {

inline constexpr const char* ready = "準備完了";
inline constexpr const char* checkingMainDisplay = "メインディスプレイを確認中";
inline constexpr const char* noMainDisplaySummary = "メインディスプレイなし";
inline constexpr const char* notchPresentLabel = "ノッチあり・";
inline constexpr const char* notchAbsentLabel = "ノッチなし・";
inline constexpr const char* sizeSeparator = " × ";

inline constexpr const char* effectOn = "ノッチを目立たなくしています";
inline constexpr const char* noMainDisplay = "メインディスプレイを取得できませんでした";
inline constexpr const char* noNotch = "メインディスプレイにノッチが見つかりません";
inline constexpr const char* noCurrentWallpaper = "現在の壁紙を取得できませんでした";
inline constexpr const char* stillImagesOnly = "静止画の壁紙だけに対応しています";
inline constexpr const char* processing = "壁紙を処理しています…";

inline constexpr const char* noOriginalRecord = "元の壁紙の記録がありません";
inline constexpr const char* restored = "元の壁紙に戻しました";
inline constexpr const char* restoreFailedPrefix = "元の壁紙に戻せませんでした: ";

inline constexpr const char* launchAtLoginOn = "ログイン時の起動を有効にしました";
inline constexpr const char* launchAtLoginOff = "ログイン時の起動を無効にしました";
inline constexpr const char* loginItemFailedPrefix = "ログイン項目を変更できませんでした: ";

}  // namespace quillhaven::messages
