#include "editor/TextCompare.h"

#include "editor/CharTables.h"

#include <QString>
#include <QVarLengthArray>

#include <algorithm>

namespace scrivlet {

namespace {

using Folded = QVarLengthArray<char16_t, 64>;

// The folded character that begins at i, and how many units it takes: two for a kana and the
// voiced mark after it.
inline qsizetype foldedAt(const char16_t *s, qsizetype i, qsizetype size, char16_t &out)
{
    out = chars::foldForCompare(s[i]);
    if (i + 1 < size) {
        if (const char16_t composed =
                chars::composeWithMark(out, chars::foldForCompare(s[i + 1]))) {
            out = composed;
            return 2;
        }
    }
    return 1;
}

// The needle folded once; the haystack is folded as the scan reaches it, so no folded copy of
// a large text is ever made.
Folded foldedNeedle(QStringView needle)
{
    Folded out;
    const char16_t *s = needle.utf16();
    for (qsizetype i = 0; i < needle.size();) {
        char16_t c;
        i += foldedAt(s, i, needle.size(), c);
        out.append(c);
    }
    return out;
}

// Where a text-comparison match of needle that begins at i ends, or -1.
inline qsizetype matchEnd(const char16_t *hay, qsizetype size, qsizetype i, const Folded &needle)
{
    for (const char16_t want : needle) {
        if (i >= size)
            return -1;
        char16_t got;
        i += foldedAt(hay, i, size, got);
        if (got != want)
            return -1;
    }
    return i;
}

// A cheap test of the unit at a possible start: it folds to the needle's first character or,
// when that is a voiced kana, to the kana a mark after it would make it.
struct FirstUnit
{
    char16_t folded;
    char16_t base;

    explicit FirstUnit(QStringView needle)
    {
        foldedAt(needle.utf16(), 0, needle.size(), folded);
        const QString parts = QChar::decomposition(folded);
        base = parts.size() == 2 && (parts[1] == QChar(0x3099) || parts[1] == QChar(0x309A))
                   ? parts[0].unicode()
                   : folded;
    }
    bool mayStart(char16_t unit) const
    {
        const char16_t c = chars::foldForCompare(unit);
        return c == folded || c == base;
    }
};

// Whether the unit at i is the voiced mark of the kana before it: the two are one letter, and a
// match beginning at the mark would cut it in two (a search for ﾞ must not turn ｶﾞ into ｶ).
inline bool isMarkOfPair(const char16_t *hay, qsizetype i)
{
    return i > 0 && chars::composeWithMark(chars::foldForCompare(hay[i - 1]),
                                           chars::foldForCompare(hay[i])) != 0;
}

} // namespace

qsizetype matchLength(QStringView haystack, QStringView needle, CompareMode mode)
{
    if (mode == CompareMode::Exact)
        return haystack.startsWith(needle, Qt::CaseSensitive) ? needle.size() : -1;
    if (needle.isEmpty())
        return 0;
    return matchEnd(haystack.utf16(), haystack.size(), 0, foldedNeedle(needle));
}

bool textEquals(QStringView a, QStringView b, CompareMode mode)
{
    return matchLength(a, b, mode) == a.size();
}

bool textStartsWith(QStringView haystack, QStringView needle, CompareMode mode)
{
    return matchLength(haystack, needle, mode) >= 0;
}

qsizetype findForward(QStringView haystack, QStringView needle, qsizetype from, CompareMode mode,
                      qsizetype *length)
{
    if (needle.isEmpty() || from < 0 || from >= haystack.size())
        return -1;
    if (mode == CompareMode::Exact) {
        const qsizetype p = haystack.indexOf(needle, from, Qt::CaseSensitive);
        if (p >= 0 && length)
            *length = needle.size();
        return p;
    }
    const Folded folded = foldedNeedle(needle);
    const FirstUnit first(needle);
    const char16_t *hay = haystack.utf16();
    const qsizetype size = haystack.size();
    for (qsizetype i = from; i < size; ++i) {
        if (!first.mayStart(hay[i]) || isMarkOfPair(hay, i))
            continue;
        if (const qsizetype end = matchEnd(hay, size, i, folded); end >= 0) {
            if (length)
                *length = end - i;
            return i;
        }
    }
    return -1;
}

qsizetype findBackward(QStringView haystack, QStringView needle, qsizetype end, CompareMode mode,
                       qsizetype *length)
{
    end = std::min(end, haystack.size());
    if (needle.isEmpty() || end <= 0)
        return -1;
    if (mode == CompareMode::Exact) {
        if (end < needle.size())
            return -1;
        const qsizetype p = haystack.first(end).lastIndexOf(needle, -1, Qt::CaseSensitive);
        if (p >= 0 && length)
            *length = needle.size();
        return p;
    }
    // A match may read past end to see whether its last kana has a mark; one that takes the
    // mark ends after end and does not count.
    const Folded folded = foldedNeedle(needle);
    const FirstUnit first(needle);
    const char16_t *hay = haystack.utf16();
    const qsizetype size = haystack.size();
    for (qsizetype i = end - 1; i >= 0; --i) {
        if (!first.mayStart(hay[i]) || isMarkOfPair(hay, i))
            continue;
        if (const qsizetype e = matchEnd(hay, size, i, folded); e >= 0 && e <= end) {
            if (length)
                *length = e - i;
            return i;
        }
    }
    return -1;
}

} // namespace scrivlet
