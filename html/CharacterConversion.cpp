#include "html/CharacterConversion.h"

#include "editor/CharTables.h"
#include "html/TextWriter.h"

#include <array>

namespace scrivlet::html {

namespace {

constexpr char16_t kVoicedMarkHalf = 0xFF9E;
constexpr char16_t kSemiVoicedMarkHalf = 0xFF9F;
constexpr char16_t kCombiningVoiced = 0x3099;
constexpr char16_t kCombiningSemiVoiced = 0x309A;

constexpr char16_t kHalfKanaFirst = 0xFF61;
constexpr char16_t kHalfKanaLast = 0xFF9F;
constexpr char16_t kCjkBlockFirst = 0x3000; // the full-width space, punctuation and kana
constexpr char16_t kCjkBlockLast = 0x30FF;

bool isHalfKana(char16_t c)
{
    return c >= kHalfKanaFirst && c <= kHalfKanaLast;
}

bool isCjkBlock(char16_t c)
{
    return c >= kCjkBlockFirst && c <= kCjkBlockLast;
}

// One unit of U+3000..U+30FF in half-width form: nothing, one unit, or a base kana and a mark.
struct HalfForm
{
    char16_t base = 0;
    char16_t mark = 0;
};

struct WidthTables
{
    std::array<HalfForm, kCjkBlockLast - kCjkBlockFirst + 1> half{};
    // The full-width kana that a half-width kana and a following voiced (semi-voiced) mark
    // stand for, or 0 where they stay two characters.
    std::array<char16_t, kHalfKanaLast - kHalfKanaFirst + 1> voiced{};
    std::array<char16_t, kHalfKanaLast - kHalfKanaFirst + 1> semiVoiced{};
};

// The voiced kana are derived from their canonical decompositions, so the table cannot
// disagree with Unicode about which base a voiced kana has.
WidthTables buildWidthTables()
{
    WidthTables t;
    t.half[u'\u3000' - kCjkBlockFirst] = {u' ', 0};
    for (char16_t h = kHalfKanaFirst; h <= kHalfKanaLast; ++h)
        t.half[chars::halfKanaToFull(h) - kCjkBlockFirst] = {h, 0};

    // Only katakana split into base and mark: a hiragana has no half-width base, and the
    // iteration mark ヾ has none either, since ヽ has no half-width form.
    for (char16_t c = 0x30A1; c <= 0x30FA; ++c) {
        const QString parts = QString(QChar(c)).normalized(QString::NormalizationForm_D);
        if (parts.size() != 2)
            continue;
        const HalfForm base = t.half[parts[0].unicode() - kCjkBlockFirst];
        if (base.base == 0)
            continue; // ヸ and ヹ: ヰ and ヱ have no half-width form
        if (parts[1] == QChar(kCombiningVoiced))
            t.half[c - kCjkBlockFirst] = {base.base, kVoicedMarkHalf};
        else if (parts[1] == QChar(kCombiningSemiVoiced))
            t.half[c - kCjkBlockFirst] = {base.base, kSemiVoicedMarkHalf};
    }

    // Merging is limited to the voiced kana that Shift-JIS holds (U+30A1..U+30F6). ヷ and ヺ
    // are missing there, so ﾜﾞ and ｦﾞ stay a kana and a separate mark.
    const auto compose = [](char16_t base, char16_t mark) -> char16_t {
        const QChar pair[2] = {QChar(base), QChar(mark)};
        const QString composed = QString(pair, 2).normalized(QString::NormalizationForm_C);
        if (composed.size() != 1)
            return 0;
        const char16_t c = composed[0].unicode();
        return (c >= 0x30A1 && c <= 0x30F6) ? c : 0;
    };
    for (char16_t h = kHalfKanaFirst; h <= kHalfKanaLast; ++h) {
        const char16_t full = chars::halfKanaToFull(h);
        t.voiced[h - kHalfKanaFirst] = compose(full, kCombiningVoiced);
        t.semiVoiced[h - kHalfKanaFirst] = compose(full, kCombiningSemiVoiced);
    }
    return t;
}

const WidthTables &widthTables()
{
    static const WidthTables tables = buildWidthTables();
    return tables;
}

// Applies a mapping that keeps the length. A text with nothing to map comes back shared.
template<typename Map>
QString mapUnits(const QString &text, Map map)
{
    const QChar *src = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && map(src[i].unicode()) == src[i].unicode())
        ++i;
    if (i == n)
        return text;
    QString out = text;
    QChar *dst = out.data();
    for (; i < n; ++i)
        dst[i] = QChar(map(dst[i].unicode()));
    return out;
}

} // namespace

QString toLowerLetters(const QString &text)
{
    return mapUnits(text, chars::toLowerPair);
}

QString toUpperLetters(const QString &text)
{
    return mapUnits(text, chars::toUpperPair);
}

// Only characters with a full-width partner change, so that converting back gives the same
// text, with one exception: ヷ and ヺ become ﾜﾞ and ｦﾞ, and those come back as ワ゛ and ヲ゛,
// because Shift-JIS has no ヷ or ヺ to merge them into. Typographic quotes, ￥ ￣ ￠ ￡ ￢ ￤
// and the like have no partner: turning ” into " inside an attribute value would break the
// markup.
QString toHalfWidth(const QString &text)
{
    if (text.isEmpty())
        return text;
    const WidthTables &tables = widthTables();
    const QChar *src = text.constData();
    const qsizetype n = text.size();

    qsizetype split = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i].unicode();
        if (isCjkBlock(c) && tables.half[c - kCjkBlockFirst].mark != 0)
            ++split;
    }

    TextWriter out(n + split);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i].unicode();
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out.append(QChar(char16_t(c - 0xFF01 + 0x21)));
        } else if (isCjkBlock(c) && tables.half[c - kCjkBlockFirst].base != 0) {
            const HalfForm &form = tables.half[c - kCjkBlockFirst];
            out.append(QChar(form.base));
            if (form.mark != 0)
                out.append(QChar(form.mark));
        } else {
            out.append(src[i]);
        }
    }
    return out.take();
}

namespace {

// The half-width kana at i as full-width: with the mark after it as one voiced kana where
// Shift-JIS has that kana (so ﾜﾞ and ｦﾞ give ワ゛ and ヲ゛), i then moving onto the mark.
char16_t fullKanaAt(const QChar *src, qsizetype n, qsizetype &i, const WidthTables &tables)
{
    const char16_t c = src[i].unicode();
    const char16_t next = i + 1 < n ? src[i + 1].unicode() : 0;
    const char16_t merged = next == kVoicedMarkHalf       ? tables.voiced[c - kHalfKanaFirst]
                            : next == kSemiVoicedMarkHalf ? tables.semiVoiced[c - kHalfKanaFirst]
                                                          : 0;
    if (merged == 0)
        return chars::halfKanaToFull(c);
    ++i;
    return merged;
}

// Each unit of the text by map, but a half-width kana, with its mark, to its full-width kana.
template<class Map>
QString withFullWidthKana(const QString &text, Map map)
{
    const WidthTables &tables = widthTables();
    const QChar *src = text.constData();
    const qsizetype n = text.size();
    TextWriter out(n);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i].unicode();
        out.append(QChar(isHalfKana(c) ? fullKanaAt(src, n, i, tables) : map(c)));
    }
    return out.take();
}

} // namespace

// Like the platform's full-width conversion, a half-width kana and its mark become one voiced
// kana. ¥ ¢ £ ¬ ¯ ¦ stay, since the half-width conversion leaves their full-width forms alone
// and the two conversions should undo each other wherever Shift-JIS allows.
QString toFullWidth(const QString &text)
{
    return withFullWidthKana(text, [](char16_t c) -> char16_t {
        return c >= 0x21 && c <= 0x7E ? char16_t(c - 0x21 + 0xFF01) : c == u' ' ? u'\u3000' : c;
    });
}

// A half-width kana and its mark are one kana, written so because JIS X 0201 has no voiced
// kana: ﾃﾞ is デ, never テ and a spacing mark, which reads as a typing error and is found by
// no search for デ.
QString halfKanaToFullWidth(const QString &text)
{
    return withFullWidthKana(text, [](char16_t c) { return c; });
}

// ヴ, ヵ and ヶ stay katakana: their hiragana ゔ, ゕ and ゖ cannot be saved in Shift-JIS.
QString katakanaToHiragana(const QString &text)
{
    return mapUnits(text, [](char16_t c) -> char16_t {
        if ((c >= 0x30A1 && c <= 0x30F3) || c == 0x30FD || c == 0x30FE)
            return char16_t(c - 0x60);
        return c;
    });
}

QString hiraganaToKatakana(const QString &text)
{
    return mapUnits(text, [](char16_t c) -> char16_t {
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            return char16_t(c + 0x60);
        return c;
    });
}

} // namespace scrivlet::html
