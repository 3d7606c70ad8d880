#pragma once
// What the Find and Replace dialogs do to an edit control and to their two histories, without
// any widget; owns nothing.

#include "editor/TextCompare.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace scrivlet {

class IEditControl;

// Slots of the find and the replacement history.
inline constexpr qsizetype kSearchHistorySlots = 10;

// Makes x the newest entry (index 0) of a ten-slot history: an exactly equal entry moves up
// from where it was, a new one pushes the oldest out. An empty string is an entry like any
// other (an empty slot moves up with it).
void UpdateSearchHistory(QStringList &history, const QString &x);

// The entries a combo list shows: the non-empty ones, newest first.
QStringList ShownHistory(const QStringList &history);

enum class SearchDirection { Down, Up };

// The functions that search a control take any line break in the needle for CR LF, as the
// control holds every one: text copied out of it, or from other programs, carries LF, and such
// a needle would never match, or a lone LF would match half a line break and a replacement
// would split CR from LF.

// Down: the first match that begins at or after the end of the selection. Up: the last match
// that ends at or before the start of the selection; none when the selection starts at 0.
// A match is selected, with its own length, and true returned; otherwise the selection stays.
bool SelectMatch(IEditControl &control, const QString &needle, SearchDirection direction,
                 CompareMode mode);

// Every match of needle, scanning left to right without overlaps. An empty needle matches
// nothing.
QList<TextSpan> FindAll(QStringView text, QStringView needle, CompareMode mode);

// The text with every match of needle, scanned left to right without overlaps, replaced by
// replacement; count (when given) receives the number of matches. One pass: the cost is the
// text's length, however many matches there are.
QString ReplaceAll(QStringView text, QStringView needle, QStringView replacement, CompareMode mode,
                   qsizetype *count = nullptr);

// Replaces every match in the control as one change, and so as one step of its history; the
// caret goes to 0 as when the whole text is written. Returns the number of matches.
qsizetype ReplaceAllInControl(IEditControl &control, const QString &needle,
                              const QString &replacement, CompareMode mode);

} // namespace scrivlet
