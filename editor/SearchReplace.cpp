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

QString ReplaceAll(QStringView text, QStringView needle, QStringView replacement, CompareMode mode,
                   qsizetype *count)
{
    qsizetype matches = 0;
    QString out;
    qsizetype copied = 0; // text before this index is in out already
    for (qsizetype p = findForward(text, needle, 0, mode); p >= 0;
         p = findForward(text, needle, p + needle.size(), mode)) {
        if (matches++ == 0)
            out.reserve(text.size());
        out.append(text.mid(copied, p - copied));
        out.append(replacement);
        copied = p + needle.size();
    }
    if (count)
        *count = matches;
    if (matches == 0)
        return text.toString();
    out.append(text.mid(copied));
    return out;
}

qsizetype ReplaceAllInControl(IEditControl &control, const QString &needle,
                              const QString &replacement, CompareMode mode)
{
    qsizetype count = 0;
    const QString text = control.TextSnapshot().toString();
    control.setText(ReplaceAll(text, needle, replacement, mode, &count));
    return count;
}

} // namespace scrivlet
