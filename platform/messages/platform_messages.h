#pragma once

// Every text the desktop backends show the user, byte for byte. They reach the status line
// as the description of a failed desktop-picture change. "%1" marks where a name goes
// (fillIn in translation_marker.h).

#include "controller/translation_marker.h"

namespace quillhaven::platform_messages {

// No backend for this desktop.
inline constexpr const char* unsupportedDesktop =
    QT_TRANSLATE_NOOP("Quillhaven", "このデスクトップ環境の壁紙には対応していません");

// The virtual desktop.
inline constexpr const char* virtualDesktopUnreadable =
    QT_TRANSLATE_NOOP("Quillhaven", "仮想デスクトップのファイル %1 を読み取れません");
inline constexpr const char* virtualNotAFile =
    QT_TRANSLATE_NOOP("Quillhaven", "ファイルではない壁紙は設定できません: %1");
inline constexpr const char* virtualPictureMissing =
    QT_TRANSLATE_NOOP("Quillhaven", "壁紙のファイルがありません: %1");
inline constexpr const char* virtualDisplayUnknown =
    QT_TRANSLATE_NOOP("Quillhaven", "ディスプレイ「%1」は仮想デスクトップにありません");

// GNOME.
inline constexpr const char* gnomeSchemaMissing = QT_TRANSLATE_NOOP(
    "Quillhaven", "GNOME の壁紙設定 (org.gnome.desktop.background) が見つかりません");
inline constexpr const char* gnomeNotLocal =
    QT_TRANSLATE_NOOP("Quillhaven", "ローカルファイル以外の壁紙は設定できません");
inline constexpr const char* gnomeLocked =
    QT_TRANSLATE_NOOP("Quillhaven", "GNOME の壁紙設定は変更が禁止されています");
inline constexpr const char* gnomeServiceSilent = QT_TRANSLATE_NOOP(
    "Quillhaven", "GNOME の設定サービス (dconf) が 2 秒以内に応答しませんでした");
inline constexpr const char* gnomeUnknownSettings = QT_TRANSLATE_NOOP(
    "Quillhaven", "記録された設定は GNOME の壁紙設定ではありません");
inline constexpr const char* gnomeXmlUnusable =
    QT_TRANSLATE_NOOP("Quillhaven", "GNOME の背景 XML を読み込めません: %1");

// KDE Plasma.
inline constexpr const char* plasmaNotAFile =
    QT_TRANSLATE_NOOP("Quillhaven", "ファイルではない壁紙は設定できません");
inline constexpr const char* plasmaNoScreen =
    QT_TRANSLATE_NOOP("Quillhaven", "このディスプレイに当たる Plasma の画面が見つかりません");
inline constexpr const char* plasmaUnreadableAnswer =
    QT_TRANSLATE_NOOP("Quillhaven", "Plasma の応答を読み取れません");
inline constexpr const char* plasmaNoDesktop =
    QT_TRANSLATE_NOOP("Quillhaven", "このディスプレイに Plasma のデスクトップがありません");
inline constexpr const char* plasmaNoAnswer = QT_TRANSLATE_NOOP(
    "Quillhaven", "Plasma のシェルが 1.5 秒以内に応答しませんでした (org.kde.plasmashell)");
inline constexpr const char* plasmaAway = QT_TRANSLATE_NOOP(
    "Quillhaven", "Plasma のシェルが起動していません (org.kde.plasmashell)");
inline constexpr const char* plasmaUnreachablePrefix =
    QT_TRANSLATE_NOOP("Quillhaven", "Plasma のシェルと通信できませんでした: ");
inline constexpr const char* plasmaUnknownSettings = QT_TRANSLATE_NOOP(
    "Quillhaven", "記録された設定は Plasma の壁紙設定ではありません");
inline constexpr const char* plasmaOtherPlugin = QT_TRANSLATE_NOOP(
    "Quillhaven", "壁紙プラグインが静止画用ではないため変更しません（%1）");

}  // namespace quillhaven::platform_messages
