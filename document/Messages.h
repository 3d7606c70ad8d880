#pragma once
// The texts of the document window, word for word.

#include <QString>

namespace scrivlet::document::msg {

inline const QString kUntitled = QStringLiteral("無題");
inline const QString kChangedLine1 = QStringLiteral("は変更されています。");
inline const QString kChangedLine2 = QStringLiteral("変更を保存しますか?");
// Follows the path of a recent file that is gone.
inline const QString kDoesNotExist = QStringLiteral("は存在しません。");

inline const QString kOpenTitle = QStringLiteral("開く");
inline const QString kSaveTitle = QStringLiteral("保存");
inline const QString kTemplateTitle = QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの選択");
inline const QString kHtmlFilter =
    QStringLiteral("HTML Files (*.htm,*.html,*.shtml)|*.htm;*.html;*.shtml|All Files (*.*)|*.*");
// Hide read-only, allow multi-select, path must exist, explorer style, long names.
constexpr int kFileDialogFlags = 2624004;
// Room for several chosen files with long paths: the default 255 would turn such a choice into a
// cancel.
constexpr int kFileNameBuffer = 32767;
// Files chosen at once whose names together do not fit that room: none opens, and the user is
// told why rather than left to think the choice was lost.
inline const QString kTooManyFiles = QStringLiteral(
    "選んだﾌｧｲﾙが多すぎるため開けませんでした。\r\n一度に選ぶﾌｧｲﾙを減らしてください。");

// Follows the path of a page that another program changed after this window read or wrote it.
inline const QString kChangedOnDisk =
    QStringLiteral("\r\nは開いた後で他のﾌﾟﾛｸﾞﾗﾑによって変更されています。\r\n上書き保存しますか?");

// After a save: %1 the code the file was written in, %2 the charset the page declares, %3 the
// label that declares %1.
inline const QString kCharsetMismatch =
    QStringLiteral("ﾌｧｲﾙは%1で保存しましたが、ﾍﾟｰｼﾞの文字ｺｰﾄﾞ宣言は%2です。\r\n"
                   "ﾍﾟｰｼﾞの宣言を%3に書き直してください。");

} // namespace scrivlet::document::msg
