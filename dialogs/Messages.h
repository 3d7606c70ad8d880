#pragma once
// The texts the dialogs owe their user, word for word.

#include <QString>

namespace scrivlet::dialogs::msg {

// The description of each extended error of the choosers; any number not listed is unknown.
struct ErrorText
{
    qint32 number;
    const char16_t *text;
};

inline constexpr ErrorText kCommonDialogErrors[] = {
    {-32768, u"関数がダイアログ ボックスをロードできません。"},
    {20476, u"メンバ lpstrFile が指すバッファが小さすぎます。"},
    {20477, u"ファイル名が無効です。"},
    {20478, u"メモリ不足のために、リスト ボックスをサブクラス化できません。"},
    {24574, u"フォントが存在しません。"},
    {28660, u"WIN.INI ファイル内の [devices] "
            u"セクションに、必要なプリンタについてのエントリがありません。"},
    {28661, u"PrintDlg 関数が情報コンテキストを作成できません。"},
    {28662, u"DevMode データ構造と DevNames データ構造のデータが異なるプリンタを指しています。"},
    {28663, u"通常使うプリンタが設定されていません。"},
    {28664, u"プリンタ ドライバが見つかりません。"},
    {28665, u"PrintDlg 関数を初期化できません。"},
    {28666, u"プリンタ ドライバが DevMode データ構造を初期化できません。"},
    {28667, u"PrintDlg 関数が、指定したプリンタ ドライバをロードできません。"},
    {28668, u"PDReturnDefault フラグが設定されていますが、hDevMode フィールドまたは hDevNames "
            u"フィールドが 0 ではありません。"},
    {28671, u"PDReturnDefault フラグが設定されていますが、hDevMode フィールドまたは hDevNames "
            u"フィールドが 0 ではありません。"},
    {28669, u"CommonDialog 関数が WIN.INI の [devices] セクションの文字列を解析できません。"},
    {28670, u"必要なリソースを読み込めません。"},
    {32751, u"Microsoft Windows のヘルプを呼び出せません。"},
    {32752, u"FileName プロパティまたは Filter プロパティにメモリを割り当てられません。"},
    {32755, u"[キャンセル] ボタンが選択されました。"},
    {32757, u"関数が、ハンドルに関連付けられたメモリをロックできません。"},
    {32758, u"関数が、内部のデータ構造にメモリを割り当てられません。"},
    {32759, u"関数が指定したリソースをロックできません。"},
    {32760, u"関数が指定したリソースをロードできません。"},
    {32761, u"関数が指定したリソースをロードできません。"},
    {32765, u"関数を初期化できません。"},
};

inline const QString kUnknownError = QStringLiteral("未知のｴﾗｰです。");

// The About box's mail link found no mail program.
inline const QString kMailerFailed = QStringLiteral("メーラーを起動できませんでした。");

} // namespace scrivlet::dialogs::msg

namespace scrivlet::dialogs::msg {

inline const QString kReplaceFailed = QStringLiteral("文字列の置換に失敗しました");

} // namespace scrivlet::dialogs::msg
