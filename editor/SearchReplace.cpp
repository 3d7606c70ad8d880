#include "editor/SearchReplace.h"

#include "editor/IEditControl.h"

namespace scrivlet {

void UpdateSearchHistory(QStringList &history, const QString &x)
{
    if (history.size() < kSearchHistorySlots)
        history.resize(kSearchHistorySlots);
    qsizetype found = -1;
    for (qsizetype i = 0; i < kSearchHistorySlots; ++i) {
        // Exact comparison; an empty slot equals an empty x, null or not.
        if (history[i] == x) {
            found = i;
            break;
        }
    }
    if (found == 0)
        return;
    const qsizetype from = found < 0 ? kSearchHistorySlots - 1 : found;
    for (qsizetype i = from; i > 0; --i)
        history[i] = history[i - 1];
    history[0] = x;
}

QStringList ShownHistory(const QStringList &history)
{
    QStringList out;
    for (const QString &entry : history) {
        if (!entry.isEmpty())
            out.append(entry);
    }
    return out;
}

bool SelectMatch(IEditControl &control, const QString &needle, SearchDirection direction,
                 CompareMode mode)
{
    const int selStart = control.SelStart();
    if (direction == SearchDirection::Up && selStart == 0)
        return false;
    const QString text = control.TextSnapshot().toString();
    const qsizetype p =
        direction == SearchDirection::Down
            ? findForward(text, needle, qsizetype(selStart) + control.SelLength(), mode)
            : findBackward(text, needle, selStart, mode);
    if (p < 0)
        return false;
    control.setSelStart(static_cast<int>(p));
    control.setSelLength(static_cast<int>(needle.size()));
    return true;
}

QList<int> FindAll(QStringView text, QStringView needle, CompareMode mode)
{
    QList<int> positions;
    for (qsizetype p = findForward(text, needle, 0, mode); p >= 0;
         p = findForward(text, needle, p + needle.size(), mode))
        positions.append(static_cast<int>(p));
    return positions;
}

QString ReplaceAll(QStringView text, QStringView needle, QStringView replacement, CompareMode mode,
                   qsizetype *count)
{
    const QList<int> positions = FindAll(text, needle, mode);
    if (count)
        *count = positions.size();
    return spliceEach(text, positions, static_cast<int>(needle.size()), replacement);
}

qsizetype ReplaceAllInControl(IEditControl &control, const QString &needle,
                              const QString &replacement, CompareMode mode)
{
    const QList<int> positions = FindAll(control.TextSnapshot().toString(), needle, mode);
    control.replaceEach(positions, static_cast<int>(needle.size()), replacement);
    return positions.size();
}

} // namespace scrivlet
