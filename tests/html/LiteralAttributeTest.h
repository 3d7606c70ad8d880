#pragma once
// The attribute test of the space key written the plain way, as an independent oracle for the
// chunked scan the program runs: the whole text, searched backwards and forwards from the caret
// with lastIndexOf and indexOf, quotes counted in copies of the ranges. Positions are counted
// from 1 so that 0 can stand for none. The quotes after the caret are counted from p + 1, as
// the program counts them (a quote at p is the one just before the caret).
// The completion benchmark times the program's scan against it too.

#include <QRegularExpression>
#include <QString>

#include <optional>

namespace scrivlet::html::test {

inline std::optional<QString> literalTagNameForAttributes(const QString &text, qsizetype p)
{
    if (p == 0)
        return std::nullopt;
    const qsizetype lt = text.lastIndexOf(u'<', p - 1) + 1, gt = text.lastIndexOf(u'>', p - 1) + 1;
    const qsizetype lt2 = text.indexOf(u'<', p - 1) + 1, gt2 = text.indexOf(u'>', p - 1) + 1;
    const qsizetype i = text.mid(lt - 1, p - lt + 1).count(u'"');
    const qsizetype j = gt2 > p ? text.mid(p, gt2 - p).count(u'"') : 0;
    // A ">" with no "<" anywhere after it closes the last tag of the text.
    const bool closedBeforeNextTag = lt2 > gt2 || (lt2 == 0 && gt2 > 0);
    if (!(lt > gt && closedBeforeNextTag) || text.mid(p - 1, 2) == u"\"\"" ||
        (i % 2 == 1 && j % 2 == 1))
        return std::nullopt;
    const qsizetype sp = text.indexOf(QRegularExpression(QStringLiteral("[ \t\r\n]")), lt - 1) + 1;
    if (sp > 0 && sp < gt2)
        return text.mid(lt, sp - 1 - lt);
    return gt2 > 0 ? text.mid(lt, gt2 - 1 - lt) : QString();
}

} // namespace scrivlet::html::test
