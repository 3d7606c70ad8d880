#pragma once
// The texts the options and the shell verb owe their user, word for word. The two
// not-associated texts differ on purpose: adding writes ﾌｧｲﾙ, removing ファイル.

#include <QString>

namespace scrivlet::options::msg {

inline const QString kLoadFailed = QStringLiteral("設定ロードに失敗しました");
inline const QString kSaveFailed = QStringLiteral("設定の保存に失敗しました");

// Each of these follows the extension, without a space.
inline const QString kNotAssociatedAdd =
    QStringLiteral("ﾌｧｲﾙは関連付けされていません。\r\nこの機能は既に関連付けされているファイルにし"
                   "か使用できません。");
inline const QString kNotAssociatedRemove =
    QStringLiteral("ファイルは関連付けされていません。\r\nこの機能は既に関連付けされているファイル"
                   "にしか使用できません。");
inline const QString kNoVerb = QStringLiteral("ﾌｧｲﾙにはScrivletで編集はありませんでした");
inline const QString kAdded = QStringLiteral("ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。");
inline const QString kAddFailed =
    QStringLiteral("ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加できませんでした。");
inline const QString kRemoved =
    QStringLiteral("ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除しました。");
inline const QString kRemoveFailed =
    QStringLiteral("ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除できませんでした。");

} // namespace scrivlet::options::msg
