#pragma once
// The texts of the preview, help and web-link commands, word for word.

#include <QString>

namespace scrivlet::preview::msg {

// Follow the untitled document's name, one per line.
inline const QString kNotSavedLine1 = QStringLiteral("は保存されていません");
inline const QString kNotSavedLine2 =
    QStringLiteral("保存されていないﾍﾟｰｼﾞをﾌﾟﾚﾋﾞｭｰすることはできません");
inline const QString kNotSavedLine3 = QStringLiteral("保存しますか？");

inline const QString kNetscapeNotSet =
    QStringLiteral("Netscapeの設定が無効です\r\n今すぐ設定しますか？");
inline const QString kInternetExplorerFailed =
    QStringLiteral("Internet Explorerの起動に失敗しました");
inline const QString kNetscapeFailed = QStringLiteral("Netscapeの起動に失敗しました");
inline const QString kAssociatedBrowserFailed =
    QStringLiteral("関連付けされているﾌﾞﾗｳｻﾞの起動に失敗しました");

inline const QString kHelpFailed = QStringLiteral("ヘルプを表示できませんでした");
inline const QString kWebSiteFailed = QStringLiteral("Webサイトを表示できませんでした");

} // namespace scrivlet::preview::msg
