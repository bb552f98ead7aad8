<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AboutView</name>
    <message>
        <source>Ver: %1 (%2) </source>
        <translation>Ver: %1 (%2) </translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>About %1</source>
        <translation>%1について</translation>
    </message>
    <message>
        <source>Help %1</source>
        <translation>%1 ヘルプ</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>Select Source</source>
        <translation>ソースを選択</translation>
    </message>
    <message>
        <source>Select Source…</source>
        <translation>ソースを選択…</translation>
    </message>
    <message>
        <source>Select Destination</source>
        <translation>保存先を選択</translation>
    </message>
    <message>
        <source>Select Destination…</source>
        <translation>保存先を選択…</translation>
    </message>
    <message>
        <source>Create Bootable ISO</source>
        <translation>起動可能な ISO を作成</translation>
    </message>
    <message>
        <source>Cancel Export</source>
        <translation>書き出しをキャンセル</translation>
    </message>
</context>
<context>
    <name>ExportChecks</name>
    <message>
        <source>the image name %1 is longer than %2 bytes</source>
        <translation>イメージ名 %1 が %2 バイトを超えています</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 を開けません: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 はフォルダではありません</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>%1 に書き込めません: %2</translation>
    </message>
    <message>
        <source>The whole file system cannot be exported; choose a folder inside it</source>
        <translation>ファイルシステム全体は書き出せません。その中のフォルダを選んでください</translation>
    </message>
    <message>
        <source>cannot follow the link %1: %2</source>
        <translation>リンク %1 をたどれません: %2</translation>
    </message>
</context>
<context>
    <name>ExportJob</name>
    <message>
        <source>%1 already exists in %2</source>
        <translation>%1 は %2 に既にあります</translation>
    </message>
    <message>
        <source>cannot start the image tool %1: %2</source>
        <translation>イメージツール %1 を起動できません: %2</translation>
    </message>
    <message>
        <source>the image tool was stopped by signal %1 (%2)</source>
        <translation>イメージツールがシグナル %1 で停止しました (%2)</translation>
    </message>
    <message>
        <source>the image tool failed with exit status %1</source>
        <translation>イメージツールが終了ステータス %1 で失敗しました</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>%1 を置き換えられません: %2</translation>
    </message>
</context>
<context>
    <name>FailureText</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 を読み込めません: %2</translation>
    </message>
    <message>
        <source>%1 changed while it was being imaged</source>
        <translation>イメージの作成中に %1 が変更されました</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>%1 に書き込めません: %2</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 has only %3 free</source>
        <translation>イメージには %1 必要ですが、%2 の空きは %3 しかありません</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 holds files of up to %3</source>
        <translation>イメージには %1 必要ですが、%2 に置けるファイルは %3 までです</translation>
    </message>
    <message>
        <source>%1 has %2 folders, but an ISO 9660 image holds at most %3</source>
        <translation>%1 には %2 個のフォルダがありますが、ISO 9660 イメージに入るのは %3 個までです</translation>
    </message>
</context>
<context>
    <name>FreedesktopDesktop</name>
    <message>
        <source>Show Window</source>
        <translation>ウインドウを表示</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>フォルダで表示</translation>
    </message>
</context>
<context>
    <name>HelpView</name>
    <message>
        <source>Available Commands</source>
        <translation>使用できるコマンド</translation>
    </message>
</context>
<context>
    <name>JobFolder</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot name a folder</source>
        <translation>「%1」はフォルダ名に使えません</translation>
    </message>
    <message>
        <source>cannot create a folder in %1</source>
        <translation>%1 にフォルダを作成できません</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 を作成できません</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>No file manager could show %1.</source>
        <translation>%1 を表示できるファイルマネージャがありませんでした。</translation>
    </message>
    <message>
        <source>It is in %1</source>
        <translation>場所: %1</translation>
    </message>
    <message>
        <source>No source selected</source>
        <translation>ソースが選択されていません</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>ソース</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>書き出しの進行状況</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>フォルダで表示</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>置き換える</translation>
    </message>
    <message>
        <source>No destination selected</source>
        <translation>保存先が選択されていません</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>保存先フォルダ</translation>
    </message>
    <message>
        <source>Destination folder:</source>
        <translation>保存先フォルダ:</translation>
    </message>
    <message>
        <source>Preparing…</source>
        <translation>準備中…</translation>
    </message>
    <message>
        <source>Copying %1 of %2…</source>
        <translation>%2 中 %1 をコピー中…</translation>
    </message>
    <message>
        <source>Exported ISO Size: %1 MB</source>
        <translation>書き出した ISO のサイズ: %1 MB</translation>
    </message>
    <message>
        <source>Show %1 in Folder</source>
        <translation>%1 をフォルダで表示</translation>
    </message>
    <message>
        <source>Show %1 in its folder</source>
        <translation>%1 をそのフォルダで表示</translation>
    </message>
    <message>
        <source>(1 special file left out)</source>
        <translation>(特殊ファイル 1 個を除外)</translation>
    </message>
    <message>
        <source>(%1 special files left out)</source>
        <translation>(特殊ファイル %1 個を除外)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Export of %1 cancelled</source>
        <translation>%1 の書き出しをキャンセルしました</translation>
    </message>
    <message>
        <source>Export of %1 failed: %2</source>
        <translation>%1 の書き出しに失敗しました: %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>copying</source>
        <translation>コピー中</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>準備中</translation>
    </message>
    <message>
        <source>%1, exporting, %2 %</source>
        <translation>%1、書き出し中、%2 %</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>書き出しに失敗しました</translation>
    </message>
    <message>
        <source>Image created</source>
        <translation>イメージを作成しました</translation>
    </message>
    <message>
        <source>%1, %2 MB</source>
        <translation>%1、%2 MB</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1: no such file or folder</source>
        <translation>%1: そのようなファイルやフォルダはありません</translation>
    </message>
</context>
<context>
    <name>MenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>New Window</source>
        <translation>新規ウインドウ</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>ウインドウを閉じる</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
</context>
<context>
    <name>SourceStaging</name>
    <message>
        <source>%1 MB in %2</source>
        <translation>%2 に %1 MB</translation>
    </message>
    <message>
        <source>staging needs %1 MB outside %2, but the temporary and cache folders are inside it</source>
        <translation>準備には %2 の外に %1 MB が必要ですが、一時フォルダとキャッシュフォルダはその中にあります</translation>
    </message>
    <message>
        <source>staging needs %1 MB, but only %2 are free</source>
        <translation>準備には %1 MB が必要ですが、空きは %2 だけです</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 を作成できません</translation>
    </message>
</context>
<context>
    <name>StagedCopy</name>
    <message>
        <source>cannot open %1</source>
        <translation>%1 を開けません</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>%1 を読み込めません</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 を作成できません</translation>
    </message>
    <message>
        <source>cannot examine %1</source>
        <translation>%1 を調べられません</translation>
    </message>
    <message>
        <source>cannot set the permissions of %1</source>
        <translation>%1 のアクセス権を設定できません</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 を書き込めません</translation>
    </message>
    <message>
        <source>the file size limit stops writing %1</source>
        <translation>ファイルサイズの上限により %1 を書き込めません</translation>
    </message>
    <message>
        <source>cannot set the times of %1</source>
        <translation>%1 の日時を設定できません</translation>
    </message>
    <message>
        <source>cannot read the link %1</source>
        <translation>リンク %1 を読み込めません</translation>
    </message>
    <message>
        <source>cannot follow the link %1</source>
        <translation>リンク %1 をたどれません</translation>
    </message>
    <message>
        <source>cannot export %1: only files, folders and bundles can be</source>
        <translation>%1 は書き出せません: 書き出せるのはファイル、フォルダ、バンドルだけです</translation>
    </message>
    <message>
        <source>cannot copy %1 into itself</source>
        <translation>%1 をそれ自体の中にコピーできません</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>VelbrookApp</name>
    <message>
        <source>An export is running. Stop it and quit?</source>
        <translation>書き出しの実行中です。停止して終了しますか?</translation>
    </message>
    <message>
        <source>Stop and Quit</source>
        <translation>停止して終了</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turns one file or folder into an ISO 9660 disc image.</source>
        <translation>ファイルまたはフォルダを 1 つ、ISO 9660 のディスクイメージにします。</translation>
    </message>
    <message>
        <source>The file or folder to take as the source, as if dropped on the window.</source>
        <translation>ソースにするファイルまたはフォルダ。ウインドウにドロップしたときと同じです。</translation>
    </message>
</context>
</TS>
