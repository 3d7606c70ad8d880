#pragma once
// The texts the file layer owes its user, word for word.

#include <QString>

namespace scrivlet::files::msg {

// Follows the path of a file that could not be read.
inline const QString kCouldNotOpen = QStringLiteral("を開けませんでした。");
inline const QString kSaveFailed = QStringLiteral("ﾌｧｲﾙの保存に失敗しました");
inline const QString kConversionFailed = QStringLiteral("漢字ｺｰﾄﾞ・改行ｺｰﾄﾞの変換に失敗しました");
inline const QString kLibraryMissing =
    QStringLiteral("UNKANJ.DLLがありません。\r\nこの変換作業を行うためにはUNKANJ.DLLが必要です。");
inline const QString kLibraryBusy = QStringLiteral(
    "UNKANJ.DLLは他の作業を実行中です。\r\nしばらくたってからやり直してみてください。");

} // namespace scrivlet::files::msg
