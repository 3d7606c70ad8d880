#pragma once
// Numbered menu items of one kind, served by one handler that receives the index.

#include <QList>
#include <QStringList>

class QAction;
class QFont;
class QMenu;

namespace scrivlet {

// Adds one action per caption to menu, in order, and returns them indexed as the captions are:
// a caption "-" makes a separator action, so that the indexes of the items after it stay right.
// Each action's objectName is family + "_" + its index.
QList<QAction *> addMenuFamily(QMenu *menu, const QString &family, const QStringList &captions,
                               int firstIndex = 0);

// A file's path or name as a menu or tab shows it: cut in the middle where it is wider than
// characters average characters of font, so that the file's name at its end stays in view; an
// "&" doubled so that it shows as itself.
QString ShortCaption(const QString &text, const QFont &font, int characters);

// ShortCaption for a menu: wider than 60 characters, a path would stretch the menu past half a
// screen.
QString MenuCaption(const QString &text);

// The captions of the recent-file items: "&" + k + " " + the path as MenuCaption gives it. items
// holds index 1 to 6 at positions 1 to 6 (position 0 unused); an empty entry hides its item, and
// the separator 6 is disabled when every entry is empty.
void ApplyHistoryToMenu(const QList<QAction *> &items, const QStringList &history);

// Lets an access key that several items of menu share skip the disabled ones: the key moves to
// the next usable item with it, and opens or runs it when it is the only usable one. (Qt moves
// to a disabled item, which it never shows as current, and stays there.)
void SkipDisabledItemsOnSharedAccessKeys(QMenu *menu);

} // namespace scrivlet
