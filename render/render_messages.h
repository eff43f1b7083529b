#pragma once

// Every text the renderer shows the user, byte for byte: the fixed message of each
// processing error, marked for Qt's translation tools.

#include <QtGlobal>

namespace quillhaven::render_messages {

inline constexpr const char* unsupportedImage =
    QT_TRANSLATE_NOOP("Quillhaven", "この壁紙は静止画として読み込めません");
inline constexpr const char* cannotCreateCanvas =
    QT_TRANSLATE_NOOP("Quillhaven", "壁紙を加工するための画像を作成できません");
inline constexpr const char* cannotWriteImage =
    QT_TRANSLATE_NOOP("Quillhaven", "加工した壁紙を保存できません");

// Something other than a folder in the generated folder's place; the path comes first.
inline constexpr const char* generatedFolderLinkDangling =
    QT_TRANSLATE_NOOP("Quillhaven", ": 生成フォルダへのリンクの先がありません");
inline constexpr const char* generatedFolderNotAFolder =
    QT_TRANSLATE_NOOP("Quillhaven", ": 生成フォルダの場所にフォルダではないものがあります");

}  // namespace quillhaven::render_messages
