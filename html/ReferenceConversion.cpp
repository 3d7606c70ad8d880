#include "html/ReferenceConversion.h"

#include "html/TextWriter.h"

#include <algorithm>
#include <initializer_list>

namespace scrivlet::html {

namespace {

struct Replacement
{
    QStringView from;
    QStringView to;
};

// Calls onMatch(position, replacement) for every occurrence of the patterns, found in one
// left-to-right pass, case-sensitively, the search going on after the occurrence.
template<typename OnMatch>
void forEachOccurrence(QStringView src, std::initializer_list<Replacement> replacements,
                       OnMatch onMatch)
{
    // The patterns used here begin with at most two different characters; the scan skips
    // quickly to the next of them.
    const QChar first = replacements.begin()->from.front();
    QChar other = first;
    for (const Replacement &r : replacements) {
        if (r.from.front() != first)
            other = r.from.front();
    }
    const QChar *const data = src.data();
    const qsizetype n = src.size();
    for (qsizetype i = 0; i < n;) {
        if (first == other) {
            i = src.indexOf(first, i);
            if (i < 0)
                return;
        } else {
            while (i < n && data[i] != first && data[i] != other)
                ++i;
            if (i == n)
                return;
        }
        const Replacement *hit = nullptr;
        for (const Replacement &r : replacements) {
            if (src.sliced(i).startsWith(r.from)) {
                hit = &r;
                break;
            }
        }
        if (hit == nullptr) {
            ++i;
            continue;
        }
        onMatch(i, *hit);
        i += hit->from.size();
    }
}

// Replaces every occurrence without looking again at inserted text. One pass may stand for two
// replacements made one after the other because no two patterns used here can overlap, and no
// replacement can complete another pattern with its neighbours.
QString replaceAll(const QString &text, std::initializer_list<Replacement> replacements)
{
    const QStringView src(text);
    // Every occurrence begins with its pattern's first character, which bounds the result.
    qsizetype candidates = 0;
    qsizetype capacity = src.size();
    for (const Replacement &r : replacements) {
        const qsizetype count = src.count(r.from.front());
        candidates += count;
        if (r.to.size() > r.from.size())
            capacity += (r.to.size() - r.from.size()) * count;
    }
    if (candidates == 0)
        return text;

    TextWriter out(capacity);
    // Patterns of one character, the escaping ones, are replaced character by character: a text
    // made of nothing else must not cost a search per character.
    const bool singleCharacters =
        std::all_of(replacements.begin(), replacements.end(),
                    [](const Replacement &r) { return r.from.size() == 1; });
    if (singleCharacters) {
        for (const QChar c : src) {
            auto r = replacements.begin();
            while (r != replacements.end() && c != r->from.front())
                ++r;
            if (r == replacements.end())
                out.append(c);
            else
                out.append(r->to);
        }
        return out.take();
    }

    qsizetype copied = 0;
    forEachOccurrence(src, replacements, [&](qsizetype at, const Replacement &r) {
        out.append(src.sliced(copied, at - copied));
        out.append(r.to);
        copied = at + r.from.size();
    });
    if (copied == 0)
        return text;
    out.append(src.sliced(copied));
    return out.take();
}

} // namespace

QString escapeAngleBrackets(const QString &text)
{
    return replaceAll(text, {{u"<", u"&lt;"}, {u">", u"&gt;"}});
}

QString unescapeAngleBrackets(const QString &text)
{
    return replaceAll(text, {{u"&lt;", u"<"}, {u"&gt;", u">"}});
}

QString escapeAmpersands(const QString &text)
{
    return replaceAll(text, {{u"&", u"&amp;"}});
}

QString unescapeAmpersands(const QString &text)
{
    return replaceAll(text, {{u"&amp;", u"&"}});
}

// Only the space U+0020: tabs and the full-width space are characters the writer chose.
QString spacesToNbsp(const QString &text)
{
    return replaceAll(text, {{u" ", u"&nbsp;"}});
}

QString nbspToSpaces(const QString &text)
{
    return replaceAll(text, {{u"&nbsp;", u" "}});
}

} // namespace scrivlet::html
