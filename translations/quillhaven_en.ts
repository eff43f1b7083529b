<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillhaven</name>
    <message>
        <source>準備完了</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>メインディスプレイを確認中</source>
        <translation>Checking the main display</translation>
    </message>
    <message>
        <source>メインディスプレイなし</source>
        <translation>No main display</translation>
    </message>
    <message>
        <source>ノッチあり・</source>
        <translation>Notch · </translation>
    </message>
    <message>
        <source>ノッチなし・</source>
        <translation>No notch · </translation>
    </message>
    <message>
        <source> × </source>
        <translation> × </translation>
    </message>
    <message>
        <source>ノッチを目立たなくしています</source>
        <translation>Hiding the notch</translation>
    </message>
    <message>
        <source>メインディスプレイを取得できませんでした</source>
        <translation>Could not find the main display</translation>
    </message>
    <message>
        <source>メインディスプレイにノッチが見つかりません</source>
        <translation>The main display has no notch</translation>
    </message>
    <message>
        <source>現在の壁紙を取得できませんでした</source>
        <translation>Could not read the current wallpaper</translation>
    </message>
    <message>
        <source>静止画の壁紙だけに対応しています</source>
        <translation>Only still pictures are supported as wallpaper</translation>
    </message>
    <message>
        <source>元の壁紙を記録できないため、壁紙を変更しません</source>
        <translation>The wallpaper is left unchanged because the original could not be recorded</translation>
    </message>
    <message>
        <source>壁紙のファイルを読み込めません: </source>
        <translation>Cannot read the wallpaper file: </translation>
    </message>
    <message>
        <source>元の壁紙が見つかりません: </source>
        <translation>The original wallpaper is missing: </translation>
    </message>
    <message>
        <source>元の壁紙の記録を使えません: </source>
        <translation>The record of the original wallpaper cannot be used: </translation>
    </message>
    <message>
        <source>壁紙を処理しています…</source>
        <translation>Processing the wallpaper…</translation>
    </message>
    <message>
        <source>元の壁紙の記録がありません</source>
        <translation>No original wallpaper is recorded</translation>
    </message>
    <message>
        <source>元の壁紙に戻しました</source>
        <translation>The original wallpaper is back</translation>
    </message>
    <message>
        <source>元の壁紙に戻せませんでした: </source>
        <translation>Could not restore the original wallpaper: </translation>
    </message>
    <message>
        <source>デスクトップが設定を反映しませんでした</source>
        <translation>The desktop did not take the settings</translation>
    </message>
    <message>
        <source>ログイン時の起動を有効にしました</source>
        <translation>Quillhaven now starts at login</translation>
    </message>
    <message>
        <source>ログイン時の起動を無効にしました</source>
        <translation>Quillhaven no longer starts at login</translation>
    </message>
    <message>
        <source>ログイン項目を変更できませんでした: </source>
        <translation>Could not change the login item: </translation>
    </message>
    <message>
        <source>このデスクトップ環境の壁紙には対応していません</source>
        <translation>This desktop's wallpaper is not supported</translation>
    </message>
    <message>
        <source>仮想デスクトップのファイル %1 を読み取れません</source>
        <translation>Cannot read the virtual desktop file %1</translation>
    </message>
    <message>
        <source>ファイルではない壁紙は設定できません: %1</source>
        <translation>Only a file can be set as wallpaper: %1</translation>
    </message>
    <message>
        <source>壁紙のファイルがありません: %1</source>
        <translation>The wallpaper file is missing: %1</translation>
    </message>
    <message>
        <source>ディスプレイ「%1」は仮想デスクトップにありません</source>
        <translation>The virtual desktop has no display “%1”</translation>
    </message>
    <message>
        <source>GNOME の壁紙設定 (org.gnome.desktop.background) が見つかりません</source>
        <translation>GNOME's wallpaper settings (org.gnome.desktop.background) are missing</translation>
    </message>
    <message>
        <source>ローカルファイル以外の壁紙は設定できません</source>
        <translation>Only a local file can be set as wallpaper</translation>
    </message>
    <message>
        <source>GNOME の壁紙設定は変更が禁止されています</source>
        <translation>GNOME's wallpaper settings are locked</translation>
    </message>
    <message>
        <source>GNOME の設定サービス (dconf) が 2 秒以内に応答しませんでした</source>
        <translation>GNOME's settings service (dconf) did not answer within 2 seconds</translation>
    </message>
    <message>
        <source>記録された設定は GNOME の壁紙設定ではありません</source>
        <translation>The recorded settings are not GNOME wallpaper settings</translation>
    </message>
    <message>
        <source>GNOME の背景 XML を読み込めません: %1</source>
        <translation>Cannot read the GNOME background XML: %1</translation>
    </message>
    <message>
        <source>ファイルではない壁紙は設定できません</source>
        <translation>Only a file can be set as wallpaper</translation>
    </message>
    <message>
        <source>このディスプレイに当たる Plasma の画面が見つかりません</source>
        <translation>Plasma has no screen for this display</translation>
    </message>
    <message>
        <source>Plasma の応答を読み取れません</source>
        <translation>Cannot read Plasma's answer</translation>
    </message>
    <message>
        <source>このディスプレイに Plasma のデスクトップがありません</source>
        <translation>Plasma has no desktop on this display</translation>
    </message>
    <message>
        <source>Plasma のシェルが 1.5 秒以内に応答しませんでした (org.kde.plasmashell)</source>
        <translation>Plasma's shell did not answer within 1.5 seconds (org.kde.plasmashell)</translation>
    </message>
    <message>
        <source>Plasma のシェルが起動していません (org.kde.plasmashell)</source>
        <translation>Plasma's shell is not running (org.kde.plasmashell)</translation>
    </message>
    <message>
        <source>Plasma のシェルと通信できませんでした: </source>
        <translation>Could not talk to Plasma's shell: </translation>
    </message>
    <message>
        <source>記録された設定は Plasma の壁紙設定ではありません</source>
        <translation>The recorded settings are not Plasma wallpaper settings</translation>
    </message>
    <message>
        <source>壁紙プラグインが静止画用ではないため変更しません（%1）</source>
        <translation>The wallpaper plugin is not for still pictures, so it is left unchanged (%1)</translation>
    </message>
    <message>
        <source>この壁紙は静止画として読み込めません</source>
        <translation>This wallpaper cannot be read as a still picture</translation>
    </message>
    <message>
        <source>壁紙を加工するための画像を作成できません</source>
        <translation>Cannot create the image to process the wallpaper</translation>
    </message>
    <message>
        <source>加工した壁紙を保存できません</source>
        <translation>Cannot save the processed wallpaper</translation>
    </message>
    <message>
        <source>: 生成フォルダへのリンクの先がありません</source>
        <translation>: the link to the generated folder leads nowhere</translation>
    </message>
    <message>
        <source>: 生成フォルダの場所にフォルダではないものがあります</source>
        <translation>: something that is not a folder is where the generated folder should be</translation>
    </message>
    <message>
        <source>ノッチを目立たなくする</source>
        <translation>Hide the Notch</translation>
    </message>
    <message>
        <source>ログイン時に起動</source>
        <translation>Start at Login</translation>
    </message>
    <message>
        <source>壁紙を再処理</source>
        <translation>Reprocess Wallpaper</translation>
    </message>
    <message>
        <source>壁紙を維持して終了</source>
        <translation>Quit, Keeping the Wallpaper</translation>
    </message>
    <message>
        <source>元に戻して終了</source>
        <translation>Restore and Quit</translation>
    </message>
</context>
</TS>
