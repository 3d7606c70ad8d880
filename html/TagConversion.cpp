#include "html/TagConversion.h"

#include "editor/CharTables.h"
#include "files/MarkupScanner.h"
#include "files/TagNames.h"
#include "html/TextWriter.h"

#include <optional>

namespace scrivlet::html {

using files::Markup;
using files::MarkupScanner;

namespace {

using files::equalsAsciiIgnoringCase;
using files::matchesAsciiLetter;

using CaseMap = char16_t (*)(char16_t);

// Where the converted text lies in the document: [begin, end).
struct Placed
{
    QStringView document;
    qsizetype begin;
    qsizetype end;
};

// A document that does not hold the text where it is said to is not read: the text is then
// converted as the whole page, as it would be without one.
Placed place(const QString &text, ConvContext around)
{
    const qsizetype begin = around.begin;
    const bool holds = begin >= 0 && begin + text.size() <= around.document.size() &&
                       around.document.sliced(begin, text.size()) == text;
    return holds ? Placed{around.document, begin, begin + text.size()}
                 : Placed{text, 0, text.size()};
}

// Where a line of the range starts and ends in the document: a selection that begins or ends
// inside a line leaves the rest of that line outside, and the end of the range is then no line
// end, nor its start a line start.
bool startsLineAt(const Placed &range, qsizetype offset)
{
    const qsizetype at = range.begin + offset;
    return at == 0 || (at >= 2 && range.document.sliced(at - 2, 2) == u"\r\n");
}
bool endsLineAt(const Placed &range, qsizetype offset)
{
    const qsizetype at = range.begin + offset;
    return at >= range.document.size() || range.document.sliced(at).startsWith(u"\r\n");
}

// Asked about positions that never decrease: whether text put there lands inside markup, where
// a line-break or list tag would break the page. That is after the "<" of a tag or a comment
// and before its end, or anywhere in the code of a script, its very start and end (just before
// its </SCRIPT>) included. Markup left open holds the rest of the text, its very end included.
class MarkupPositions
{
public:
    explicit MarkupPositions(QStringView document) : m_scan(document), m_at(m_scan.next()) {}

    bool inside(qsizetype p)
    {
        while (m_at && m_at->closed && (m_at->end < p || (m_at->end == p && !isCode())))
            m_at = m_scan.next();
        return m_at && (m_at->begin < p || (isCode() && m_at->begin == p));
    }

private:
    bool isCode() const { return m_at->kind == Markup::Code; }

    MarkupScanner m_scan;
    std::optional<Markup> m_at;
};

// Only the names of tags that begin and end within the range change; the attributes after the
// name, values and all, stay as written, and so do comments and the code of scripts.
QString convertTagNames(const QString &text, ConvContext around, CaseMap map)
{
    const Placed range = place(text, around);
    QString out = text;
    QChar *dst = nullptr;
    MarkupScanner scan(range.document);
    for (auto m = scan.next(); m && m->begin < range.end; m = scan.next()) {
        if (m->kind != Markup::Tag || !m->closed || m->begin < range.begin || m->end > range.end)
            continue;
        for (qsizetype at = m->begin + 1; at < m->nameEnd; ++at) {
            const char16_t c = range.document[at].unicode();
            const char16_t mapped = map(c);
            if (mapped == c)
                continue;
            if (dst == nullptr)
                dst = out.data();
            dst[at - range.begin] = QChar(mapped);
        }
    }
    return out;
}

// Blanks are the spaces and tabs that indent or trail a line of HTML source. The full-width
// space is not one of them: in Japanese text it is content, such as a paragraph indent.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A line-break tag is <BR>, <BR/> or <BR /> in any letter case, with any blanks before the
// slash. A <BR> with attributes (CLEAR=ALL) is not one: turning it into a line break would
// lose them. Returns the tag's length at position at, or 0.
qsizetype breakTagLength(QStringView s, qsizetype at)
{
    const qsizetype n = s.size();
    if (at + 3 >= n || s[at] != u'<' || !matchesAsciiLetter(s[at + 1], u'b') ||
        !matchesAsciiLetter(s[at + 2], u'r'))
        return 0;
    qsizetype i = at + 3;
    while (i < n && isBlank(s[i]))
        ++i;
    if (i < n && s[i] == u'/')
        ++i;
    return (i < n && s[i] == u'>') ? i + 1 - at : 0;
}

// Whether s[begin, end) ends with a line-break tag followed by nothing but blanks.
bool endsWithBreakTag(QStringView s, qsizetype begin, qsizetype end)
{
    qsizetype i = end;
    while (i > begin && isBlank(s[i - 1]))
        --i;
    if (i == begin || s[--i] != u'>')
        return false;
    if (i > begin && s[i - 1] == u'/')
        --i;
    while (i > begin && isBlank(s[i - 1]))
        --i;
    return i - begin >= 3 && s[i - 3] == u'<' && matchesAsciiLetter(s[i - 2], u'b') &&
           matchesAsciiLetter(s[i - 1], u'r');
}

// Lines end at CR LF only; a lone CR or LF is part of its line.
qsizetype lineBreakAt(QStringView s, qsizetype from)
{
    const QChar *const data = s.data();
    const qsizetype last = s.size() - 1;
    for (qsizetype i = from; i < last; ++i) {
        if (data[i] == u'\r' && data[i + 1] == u'\n')
            return i;
    }
    return -1;
}

// Calls line(begin, end) for each line of a non-empty text, and lineBreak() for each CR LF
// between them. The empty piece after a final CR LF is not a line.
template<typename Line, typename LineBreak>
void forEachLine(QStringView s, Line line, LineBreak lineBreak)
{
    qsizetype begin = 0;
    for (;;) {
        const qsizetype br = lineBreakAt(s, begin);
        if (br < 0) {
            if (begin < s.size() || begin == 0)
                line(begin, s.size());
            return;
        }
        line(begin, br);
        lineBreak();
        begin = br + 2;
    }
}

qsizetype countLines(QStringView s)
{
    qsizetype lines = 1;
    for (qsizetype br = lineBreakAt(s, 0); br >= 0; br = lineBreakAt(s, br + 2))
        ++lines;
    return lines;
}

} // namespace

QString tagNamesToLower(const QString &text, ConvContext around)
{
    return convertTagNames(text, around, chars::toLowerPair);
}

QString tagNamesToUpper(const QString &text, ConvContext around)
{
    return convertTagNames(text, around, chars::toUpperPair);
}

// Empty lines get a <BR> too: they are the blank lines the writer wants to see. A line that
// already ends with a line-break tag gets no second one, so the command can be repeated. A line
// that ends inside a tag, a comment or a script gets none: there it would break the page.
QString addBrAtLineEnds(const QString &text, ConvContext around)
{
    if (text.isEmpty())
        return text;
    const Placed range = place(text, around);
    MarkupPositions markup(range.document);
    const QStringView s(text);
    TextWriter out(s.size() + countLines(s) * 4);
    forEachLine(
        s,
        [&](qsizetype begin, qsizetype end) {
            out.append(s.sliced(begin, end - begin));
            if (endsLineAt(range, end) && !endsWithBreakTag(s, begin, end) &&
                !markup.inside(range.begin + end))
                out.append(u"<BR>");
        },
        [&] { out.append(u"\r\n"); });
    return out.take();
}

// A tag already followed by a line break (blanks between allowed), in the range or after it, is
// removed and that break kept, so the text gains no blank line. A <BR> inside a comment, a
// script or a value is no tag and stays.
QString brToLineBreaks(const QString &text, ConvContext around)
{
    const Placed range = place(text, around);
    const QStringView doc = range.document;
    const qsizetype n = doc.size();
    // Every tag is at least four characters and becomes at most two.
    TextWriter out(text.size());
    qsizetype copied = 0;
    MarkupScanner scan(doc);
    for (auto m = scan.next(); m && m->begin < range.end; m = scan.next()) {
        if (m->kind != Markup::Tag || m->begin < range.begin || m->end > range.end ||
            breakTagLength(doc, m->begin) != m->end - m->begin)
            continue;
        out.append(QStringView(text).sliced(copied, m->begin - range.begin - copied));
        qsizetype after = m->end;
        while (after < n && isBlank(doc[after]))
            ++after;
        const bool breakFollows = after + 1 < n && doc[after] == u'\r' && doc[after + 1] == u'\n';
        if (!breakFollows)
            out.append(u"\r\n");
        copied = m->end - range.begin;
    }
    if (copied == 0)
        return text;
    out.append(QStringView(text).sliced(copied));
    return out.take();
}

// The <LI> goes after the indentation so that the source keeps its shape. Blank lines stay
// as they are, and so does a line that is already a list item, so the command can be repeated,
// or one that starts or ends inside a tag, a comment or a script.
QString wrapLinesInLi(const QString &text, ConvContext around)
{
    if (text.isEmpty())
        return text;
    const Placed range = place(text, around);
    MarkupPositions markup(range.document);
    const QStringView s(text);
    TextWriter out(s.size() + countLines(s) * 9);
    forEachLine(
        s,
        [&](qsizetype begin, qsizetype end) {
            qsizetype first = begin;
            while (first < end && isBlank(s[first]))
                ++first;
            qsizetype last = end;
            while (last > first && isBlank(s[last - 1]))
                --last;
            const QStringView content = s.sliced(first, last - first);
            const bool isItem = content.size() >= 9 &&
                                equalsAsciiIgnoringCase(content.first(4), u"<li>") &&
                                equalsAsciiIgnoringCase(content.last(5), u"</li>");
            const bool startsInside = first < end && markup.inside(range.begin + first);
            const bool endsInside = first < end && markup.inside(range.begin + end);
            const bool partOfALine = !startsLineAt(range, begin) || !endsLineAt(range, end);
            if (first == end || isItem || startsInside || endsInside || partOfALine) {
                out.append(s.sliced(begin, end - begin));
                return;
            }
            out.append(s.sliced(begin, first - begin));
            out.append(u"<LI>");
            out.append(s.sliced(first, end - first));
            out.append(u"</LI>");
        },
        [&] { out.append(u"\r\n"); });
    return out.take();
}

} // namespace scrivlet::html
