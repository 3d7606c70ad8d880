#pragma once
// The texts the editing core owes its user, word for word.

#include <QString>

namespace scrivlet::editor::msg {

inline const QString kSearchFinished = QStringLiteral("文章の検索が終わりました。");
inline const QString kSearchFailed = QStringLiteral("文字列の検索に失敗しました");

} // namespace scrivlet::editor::msg
