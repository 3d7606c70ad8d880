#include "editor/TextCompare.h"

#include "editor/CharTables.h"

#include <QVarLengthArray>

#include <algorithm>

namespace scrivlet {

namespace {

inline char16_t unitAt(QStringView s, qsizetype i)
{
    return s.utf16()[i];
}

// The needle folded once; the haystack is folded unit by unit as the scan reaches it, so no
// folded copy of a large text is ever made.
QVarLengthArray<char16_t, 64> foldedNeedle(QStringView needle, CompareMode mode)
{
    QVarLengthArray<char16_t, 64> out(needle.size());
    for (qsizetype i = 0; i < needle.size(); ++i)
        out[i] = mode == CompareMode::Text ? chars::foldForCompare(unitAt(needle, i))
                                           : unitAt(needle, i);
    return out;
}

inline bool matchesAt(const char16_t *hay, const QVarLengthArray<char16_t, 64> &needle,
                      CompareMode mode)
{
    const qsizetype n = needle.size();
    if (mode == CompareMode::Exact)
        return std::equal(needle.begin(), needle.end(), hay);
    for (qsizetype k = 0; k < n; ++k) {
        if (chars::foldForCompare(hay[k]) != needle[k])
            return false;
    }
    return true;
}

} // namespace

bool textEquals(QStringView a, QStringView b, CompareMode mode)
{
    return a.size() == b.size() && textStartsWith(a, b, mode);
}

bool textStartsWith(QStringView haystack, QStringView needle, CompareMode mode)
{
    if (needle.size() > haystack.size())
        return false;
    return matchesAt(haystack.utf16(), foldedNeedle(needle, mode), mode);
}

qsizetype findForward(QStringView haystack, QStringView needle, qsizetype from, CompareMode mode)
{
    const qsizetype n = needle.size();
    if (n == 0 || from < 0 || haystack.size() - from < n)
        return -1;
    if (mode == CompareMode::Exact)
        return haystack.indexOf(needle, from, Qt::CaseSensitive);
    const auto folded = foldedNeedle(needle, mode);
    const char16_t first = folded[0];
    const char16_t *hay = haystack.utf16();
    const qsizetype last = haystack.size() - n;
    for (qsizetype i = from; i <= last; ++i) {
        if (chars::foldForCompare(hay[i]) == first && matchesAt(hay + i, folded, mode))
            return i;
    }
    return -1;
}

qsizetype findBackward(QStringView haystack, QStringView needle, qsizetype end, CompareMode mode)
{
    const qsizetype n = needle.size();
    end = std::min(end, haystack.size());
    if (n == 0 || end < n)
        return -1;
    const auto folded = foldedNeedle(needle, mode);
    const char16_t first = folded[0];
    const char16_t *hay = haystack.utf16();
    for (qsizetype i = end - n; i >= 0; --i) {
        const char16_t c = mode == CompareMode::Text ? chars::foldForCompare(hay[i]) : hay[i];
        if (c == first && matchesAt(hay + i, folded, mode))
            return i;
    }
    return -1;
}

} // namespace scrivlet
