#include "editor/CharTables.h"

#include <QString>

#include <array>
#include <memory>

namespace scrivlet::chars {

namespace {

constexpr char16_t kHalfKana[63] = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};

// The scripts whose letters take part in case conversion.
bool inCaseBlocks(char16_t c)
{
    return c <= 0x024F                      // ASCII, Latin-1, Latin Extended-A and -B
           || (c >= 0x0370 && c <= 0x052F)  // Greek, Cyrillic and its supplement
           || (c >= 0x1C80 && c <= 0x1C8F)  // Cyrillic Extended-C
           || (c >= 0x1E00 && c <= 0x1FFF)  // Latin Extended Additional, Greek Extended
           || (c >= 0x2150 && c <= 0x218F)  // Roman numerals
           || (c >= 0x2460 && c <= 0x24FF)  // circled letters
           || (c >= 0x2C60 && c <= 0x2C7F)  // Latin Extended-C
           || (c >= 0x2DE0 && c <= 0x2DFF)  // Cyrillic Extended-A
           || (c >= 0xA640 && c <= 0xA69F)  // Cyrillic Extended-B
           || (c >= 0xA720 && c <= 0xA7FF)  // Latin Extended-D
           || (c >= 0xAB30 && c <= 0xAB6F)  // Latin Extended-E
           || (c >= 0xFF21 && c <= 0xFF5A); // full-width Latin
}

struct Tables
{
    std::array<char16_t, 0x10000> lower;
    std::array<char16_t, 0x10000> upper;
    std::array<char16_t, 0x10000> fold;
    // The katakana block: what each kana makes with a voiced and with a semi-voiced mark.
    std::array<char16_t, 0x60> voiced{};
    std::array<char16_t, 0x60> semiVoiced{};
};

std::unique_ptr<const Tables> buildTables()
{
    auto t = std::make_unique<Tables>();
    for (char32_t i = 0; i < 0x10000; ++i) {
        const auto c = static_cast<char16_t>(i);
        t->lower[i] = c;
        t->upper[i] = c;
        if (!inCaseBlocks(c) || QChar::isSurrogate(c))
            continue;
        const char16_t lo = QChar::toLower(c);
        if (lo != c && inCaseBlocks(lo) && QChar::toUpper(lo) == c)
            t->lower[i] = lo;
        const char16_t up = QChar::toUpper(c);
        if (up != c && inCaseBlocks(up) && QChar::toLower(up) == c)
            t->upper[i] = up;
    }
    for (char32_t i = 0; i < 0x10000; ++i) {
        auto c = static_cast<char16_t>(i);
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = static_cast<char16_t>(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = u' ';
        else if (c >= 0xFF61 && c <= 0xFF9F)
            c = kHalfKana[c - 0xFF61];
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            c = static_cast<char16_t>(c + 0x60);
        t->fold[i] = t->lower[c];
    }
    // Unicode's own decompositions say which kana a mark composes with.
    for (char16_t c = 0x30A0; c < 0x3100; ++c) {
        const QString parts = QChar::decomposition(c);
        if (parts.size() != 2 || parts[0].unicode() < 0x30A0 || parts[0].unicode() >= 0x3100)
            continue;
        const qsizetype base = parts[0].unicode() - 0x30A0;
        if (parts[1] == QChar(0x3099))
            t->voiced[base] = c;
        else if (parts[1] == QChar(0x309A))
            t->semiVoiced[base] = c;
    }
    return t;
}

const Tables &tables()
{
    static const std::unique_ptr<const Tables> instance = buildTables();
    return *instance;
}

} // namespace

char16_t toLowerPair(char16_t c)
{
    return tables().lower[c];
}

char16_t toUpperPair(char16_t c)
{
    return tables().upper[c];
}

char16_t halfKanaToFull(char16_t c)
{
    return (c >= 0xFF61 && c <= 0xFF9F) ? kHalfKana[c - 0xFF61] : c;
}

char16_t foldForCompare(char16_t c)
{
    return tables().fold[c];
}

char16_t composeWithMark(char16_t foldedKana, char16_t foldedMark)
{
    if (foldedKana < 0x30A0 || foldedKana >= 0x3100)
        return 0;
    switch (foldedMark) {
    case 0x3099: // combining
    case 0x309B: // spacing, and the half-width ﾞ folded
        return tables().voiced[foldedKana - 0x30A0];
    case 0x309A:
    case 0x309C:
        return tables().semiVoiced[foldedKana - 0x30A0];
    default:
        return 0;
    }
}

} // namespace scrivlet::chars
