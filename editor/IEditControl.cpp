#include "editor/IEditControl.h"

namespace scrivlet {

IEditControl::~IEditControl() = default;

namespace {

bool isBreakUnit(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\r' || u == u'\n' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

} // namespace

QString normalizeLineBreaks(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    // Most texts are already normal; find the first unit that is not.
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (!isBreakUnit(c))
            continue;
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') {
            ++i;
            continue;
        }
        break;
    }
    if (i == n)
        return text;
    QString out;
    out.reserve(n + n / 8);
    out.append(text.constData(), i);
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (!isBreakUnit(c)) {
            out.append(c);
            continue;
        }
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        out.append(u"\r\n");
    }
    return out;
}

QString spliceEach(QStringView text, const QList<TextSpan> &spans, QStringView replacement)
{
    QString out;
    out.reserve(text.size() + spans.size() * replacement.size());
    qsizetype copied = 0;
    for (const TextSpan &span : spans) {
        out.append(text.mid(copied, span.position - copied));
        out.append(replacement);
        copied = qsizetype(span.position) + span.length;
    }
    out.append(text.mid(copied));
    return out;
}

void IEditControl::replaceEach(const QList<TextSpan> &spans, const QString &replacement)
{
    if (!spans.isEmpty())
        setText(spliceEach(TextSnapshot().toString(), spans, replacement));
}

int snapOutOfLineBreak(int position, QChar before, QChar at)
{
    return (before == u'\r' && at == u'\n') ? position - 1 : position;
}

} // namespace scrivlet
