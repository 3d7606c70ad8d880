#include "editor/WordRuns.h"

#include <QChar>

namespace scrivlet {

namespace {

enum class Script { None, Kanji, Hiragana, Katakana, HalfKatakana, WideAlnum, KanaMark };

Script scriptOf(char32_t c)
{
    if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3005 ||
        c == 0x3006 || c == 0x3007)
        return Script::Kanji;
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
        return Script::Hiragana;
    if ((c >= 0x30A1 && c <= 0x30FA) || c == 0x30FD || c == 0x30FE || (c >= 0x31F0 && c <= 0x31FF))
        return Script::Katakana;
    if ((c >= 0xFF66 && c <= 0xFF6F) || (c >= 0xFF71 && c <= 0xFF9D))
        return Script::HalfKatakana;
    if ((c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||
        (c >= 0xFF41 && c <= 0xFF5A))
        return Script::WideAlnum;
    // ー, ｰ, the voiced marks in their combining, spacing and half-width forms
    if (c == 0x30FC || c == 0xFF70 || (c >= 0x3099 && c <= 0x309C) || c == 0xFF9E || c == 0xFF9F)
        return Script::KanaMark;
    return Script::None;
}

bool isKana(Script s)
{
    return s == Script::Hiragana || s == Script::Katakana || s == Script::HalfKatakana;
}

// The code point that ends at `end` (exclusive) or begins at `begin`, and its length in units.
std::pair<char32_t, qsizetype> before(QStringView s, qsizetype end)
{
    if (end >= 2 && s[end - 1].isLowSurrogate() && s[end - 2].isHighSurrogate())
        return {QChar::surrogateToUcs4(s[end - 2], s[end - 1]), 2};
    return {s[end - 1].unicode(), 1};
}

std::pair<char32_t, qsizetype> after(QStringView s, qsizetype begin)
{
    if (begin + 1 < s.size() && s[begin].isHighSurrogate() && s[begin + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(s[begin], s[begin + 1]), 2};
    return {s[begin].unicode(), 1};
}

// The ideographic space, 、。「」 and the other CJK marks, ・, the full-width signs and the
// half-width ｡｢｣､･.
bool isJapanesePunctuation(char16_t c)
{
    return (c >= 0x3000 && c <= 0x303F) || c == 0x30FB || (c >= 0xFF01 && c <= 0xFF0F) ||
           (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
           (c >= 0xFF5B && c <= 0xFF65);
}

} // namespace

std::pair<qsizetype, qsizetype> WordBetweenJapanesePunctuation(QStringView line, qsizetype at,
                                                               qsizetype begin, qsizetype end)
{
    if (at < begin || at >= end || end > line.size())
        return {begin, end};
    if (isJapanesePunctuation(line[at].unicode()))
        return {at, at + 1};
    qsizetype first = at, last = at + 1;
    while (first > begin && !isJapanesePunctuation(line[first - 1].unicode()))
        --first;
    while (last < end && !isJapanesePunctuation(line[last].unicode()))
        ++last;
    return {first, last};
}

std::pair<qsizetype, qsizetype> JapaneseWordAt(QStringView line, qsizetype at)
{
    if (at < 0 || at >= line.size())
        return {at, at};
    if (line[at].isLowSurrogate() && at > 0 && line[at - 1].isHighSurrogate())
        --at;
    const auto [first, firstLength] = after(line, at);
    Script script = scriptOf(first);
    qsizetype begin = at;
    // A mark clicked on is part of the kana before it.
    while (script == Script::KanaMark && begin > 0) {
        const auto [c, length] = before(line, begin);
        const Script s = scriptOf(c);
        if (s != Script::KanaMark && !isKana(s))
            break;
        begin -= length;
        script = s;
    }
    if (script == Script::None || script == Script::KanaMark)
        return {at, at};
    const auto joins = [script](Script s) {
        return s == script || (isKana(script) && s == Script::KanaMark);
    };
    while (begin > 0) {
        const auto [c, length] = before(line, begin);
        const Script s = scriptOf(c);
        // A mark joins only when kana of this run stands before it.
        if (!joins(s))
            break;
        if (s == Script::KanaMark) {
            qsizetype back = begin - length;
            while (back > 0 && scriptOf(before(line, back).first) == Script::KanaMark)
                back -= before(line, back).second;
            if (back == 0 || scriptOf(before(line, back).first) != script)
                break;
            begin = back;
            continue;
        }
        begin -= length;
    }
    qsizetype end = at + firstLength;
    while (end < line.size()) {
        const auto [c, length] = after(line, end);
        if (!joins(scriptOf(c)))
            break;
        end += length;
    }
    return {begin, end};
}

} // namespace scrivlet
