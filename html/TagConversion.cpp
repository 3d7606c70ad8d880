#include "html/TagConversion.h"

#include "editor/CharTables.h"
#include "html/TextWriter.h"

namespace scrivlet::html {

namespace {

using CaseMap = char16_t (*)(char16_t);

bool isAsciiLetter(QChar c, char16_t lower)
{
    return c == QChar(lower) || c == QChar(char16_t(lower - 0x20));
}

// Compares with an ASCII pattern written in lower case, ignoring the case of ASCII letters
// only (Unicode case folding would also let the Kelvin sign stand for a "k").
bool equalsAsciiIgnoringCase(QStringView s, QStringView lowerPattern)
{
    if (s.size() != lowerPattern.size())
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t p = lowerPattern[i].unicode();
        if (p >= u'a' && p <= u'z' ? !isAsciiLetter(s[i], p) : s[i] != lowerPattern[i])
            return false;
    }
    return true;
}

bool isNameEnd(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// Where the scan goes on after a tag whose contents are no markup: the closing tag of a script
// or a style element, whose code a "<" in it (i<max) must not have changed; -1 when there is
// none, or from when the tag is another.
qsizetype afterRawText(const QString &text, QStringView name, qsizetype from)
{
    for (const QStringView raw : {u"script", u"style"}) {
        if (!equalsAsciiIgnoringCase(name, raw))
            continue;
        for (qsizetype at = text.indexOf(u"</", from); at >= 0; at = text.indexOf(u"</", at + 2)) {
            const QStringView rest = QStringView(text).sliced(at + 2);
            if (rest.size() >= raw.size() && equalsAsciiIgnoringCase(rest.first(raw.size()), raw))
                return at;
        }
        return -1;
    }
    return from;
}

// The ">" that ends the tag opening at open: the first one outside quoted values, or, when a
// quote is left open, simply the first; -1 when there is none.
qsizetype tagEnd(const QString &text, qsizetype open)
{
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'>')
            return i;
        if (c == u'"' || c == u'\'') {
            const qsizetype closing = text.indexOf(c, i + 1);
            if (closing < 0)
                return text.indexOf(u'>', i);
            i = closing;
        }
    }
    return -1;
}

// A tag is any "<" with the next ">" outside quoted values after it, and its name runs up to the
// first blank or line break; the attributes after it, values and all, stay as written.
// Comments, processing instructions and the code in script and style elements are no tags and
// stay as written too.
QString convertTagNames(const QString &text, CaseMap map)
{
    QString out = text;
    QChar *dst = nullptr;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'<', from);
        if (open < 0)
            break;
        // Comments and processing instructions (<?php ... ?>) are no tags.
        bool skipped = false;
        for (const auto &[opener, closer] :
             {std::pair{QStringView(u"<!--"), QStringView(u"-->")}, {u"<?", u"?>"}}) {
            if (!QStringView(text).sliced(open).startsWith(opener))
                continue;
            const qsizetype end = text.indexOf(closer, open + opener.size());
            from = end < 0 ? -1 : end + closer.size();
            skipped = true;
            break;
        }
        if (skipped) {
            if (from < 0)
                break;
            continue;
        }
        const qsizetype close = tagEnd(text, open);
        if (close < 0)
            break;
        qsizetype nameEnd = open + 1;
        for (; nameEnd < close && !isNameEnd(text[nameEnd]); ++nameEnd) {
            const char16_t c = text[nameEnd].unicode();
            const char16_t mapped = map(c);
            if (mapped == c)
                continue;
            if (dst == nullptr)
                dst = out.data();
            dst[nameEnd] = QChar(mapped);
        }
        from = afterRawText(text, QStringView(text).sliced(open + 1, nameEnd - open - 1), close);
        if (from < 0)
            break;
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
    if (at + 3 >= n || s[at] != u'<' || !isAsciiLetter(s[at + 1], u'b') ||
        !isAsciiLetter(s[at + 2], u'r'))
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
    return i - begin >= 3 && s[i - 3] == u'<' && isAsciiLetter(s[i - 2], u'b') &&
           isAsciiLetter(s[i - 1], u'r');
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

QString tagNamesToLower(const QString &text)
{
    return convertTagNames(text, chars::toLowerPair);
}

QString tagNamesToUpper(const QString &text)
{
    return convertTagNames(text, chars::toUpperPair);
}

// Empty lines get a <BR> too: they are the blank lines the writer wants to see. A line that
// already ends with a line-break tag gets no second one, so the command can be repeated.
QString addBrAtLineEnds(const QString &text)
{
    if (text.isEmpty())
        return text;
    const QStringView s(text);
    TextWriter out(s.size() + countLines(s) * 4);
    forEachLine(
        s,
        [&](qsizetype begin, qsizetype end) {
            out.append(s.sliced(begin, end - begin));
            if (!endsWithBreakTag(s, begin, end))
                out.append(u"<BR>");
        },
        [&] { out.append(u"\r\n"); });
    return out.take();
}

// A tag already followed by a line break (blanks between allowed) is removed and that break
// kept, so the text gains no blank line.
QString brToLineBreaks(const QString &text)
{
    const QStringView s(text);
    const qsizetype n = s.size();
    qsizetype first = s.indexOf(u'<');
    while (first >= 0 && breakTagLength(s, first) == 0)
        first = s.indexOf(u'<', first + 1);
    if (first < 0)
        return text;

    // Every tag is at least four characters and becomes at most two.
    TextWriter out(n);
    qsizetype copied = 0;
    for (qsizetype i = first; i >= 0; i = s.indexOf(u'<', i)) {
        const qsizetype length = breakTagLength(s, i);
        if (length == 0) {
            ++i;
            continue;
        }
        out.append(s.sliced(copied, i - copied));
        qsizetype after = i + length;
        while (after < n && isBlank(s[after]))
            ++after;
        const bool breakFollows = after + 1 < n && s[after] == u'\r' && s[after + 1] == u'\n';
        if (!breakFollows)
            out.append(u"\r\n");
        i += length;
        copied = i;
    }
    out.append(s.sliced(copied));
    return out.take();
}

// The <LI> goes after the indentation so that the source keeps its shape. Blank lines stay
// as they are, and so does a line that is already a list item, so the command can be repeated.
QString wrapLinesInLi(const QString &text)
{
    if (text.isEmpty())
        return text;
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
            if (first == end || isItem) {
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
