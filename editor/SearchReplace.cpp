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

bool SelectMatch(IEditControl &control, const QString &typed, SearchDirection direction,
                 CompareMode mode)
{
    const QString needle = normalizeLineBreaks(typed);
    const int selStart = control.SelStart();
    if (direction == SearchDirection::Up && selStart == 0)
        return false;
    const QString text = control.TextSnapshot().toString();
    qsizetype length = 0;
    const qsizetype p =
        direction == SearchDirection::Down
            ? findForward(text, needle, qsizetype(selStart) + control.SelLength(), mode, &length)
            : findBackward(text, needle, selStart, mode, &length);
    if (p < 0)
        return false;
    control.setSelStart(static_cast<int>(p));
    control.setSelLength(static_cast<int>(length));
    return true;
}

QList<TextSpan> FindAll(QStringView text, QStringView needle, CompareMode mode)
{
    QList<TextSpan> spans;
    qsizetype length = 0;
    for (qsizetype p = findForward(text, needle, 0, mode, &length); p >= 0;
         p = findForward(text, needle, p + length, mode, &length))
        spans.append({static_cast<int>(p), static_cast<int>(length)});
    return spans;
}

QString ReplaceAll(QStringView text, QStringView needle, QStringView replacement, CompareMode mode,
                   qsizetype *count)
{
    const QList<TextSpan> spans = FindAll(text, needle, mode);
    if (count)
        *count = spans.size();
    return spliceEach(text, spans, replacement);
}

qsizetype ReplaceAllInControl(IEditControl &control, const QString &needle,
                              const QString &replacement, CompareMode mode)
{
    const QList<TextSpan> spans =
        FindAll(control.TextSnapshot().toString(), normalizeLineBreaks(needle), mode);
    control.replaceEach(spans, replacement);
    return spans.size();
}

} // namespace scrivlet
