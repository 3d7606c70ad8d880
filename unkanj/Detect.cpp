// How the code of a source is told, in order:
//
// 1. A UTF-8 byte-order mark decides: UTF-8, unless the text after it does not read as UTF-8
//    (rule 4) while another code reads it (a tool put the mark before a Shift-JIS or JIS page).
// 2. Without any byte above 0x7F and without a JIS escape that selects kanji, katakana or
//    JIS X 0212 (nor SO and SI together), the text is ASCII: every code reads it alike. But
//    escapes back to ASCII that JIS reads without an error make it JIS, whose reading takes
//    them for what they are: kept as characters, they would show as "(B".
// 3. Otherwise each candidate reads the whole text and counts its errors: a faulty sequence
//    (an invalid byte, a truncated character, an unknown escape) counts one, and so does a
//    well-formed code that CP932 leaves unassigned (EUC rows 9-12, 14-15, 85-88 and 93-94,
//    Shift-JIS 0x85xx/0x86xx/0xEBxx/0xECxx...). An unassigned code is a strong sign of the
//    wrong reading: EUC text read as Shift-JIS is mostly well-formed, but lands on such gaps.
//    In the readings other than JIS, each JIS escape that selects a set counts one as well, so
//    that a JIS text with a broken character still reads as JIS rather than as ASCII.
// 4. The fewest errors win; a tie goes to JIS, then UTF-8, then EUC-JP, then Shift-JIS. Valid
//    UTF-8 is almost never an accident, and ordinary EUC text is usually also well-formed
//    Shift-JIS (half-width katakana pairs and kanji) while the reverse is rare (hiragana lead
//    with 0x82, which EUC lacks). UTF-8 Japanese, though, is mostly clean Shift-JIS as well, so
//    a few stray bytes in it would lose it the count: a text whose bytes above 0x7F form at
//    least two whole UTF-8 sequences to each faulty one is UTF-8 even with more errors. When
//    Shift-JIS or EUC-JP reads the text without an error, the faults must be bytes on their own
//    among ASCII (a byte pasted from a Latin-1 page), or the sequences eight to each fault:
//    three Japanese characters can give two sequences and a fault by chance (で編集).
// 5. Short texts can tie the other way: a few EUC kanji or Shift-JIS half-width katakana can be
//    valid UTF-8 too. When UTF-8 wins, the Shift-JIS or EUC-JP that the page declares (its
//    first <meta> charset, or an XML declaration) takes over if it reads the text no worse.
//    Without a declaration, so does the better of the two when the UTF-8 reading is two-byte
//    characters only, some from blocks pages hardly use (鉄道 gives Ŵƻ, ﾗｼﾞｵ unassigned
//    Hebrew and Thaana); accented Latin, Greek and Cyrillic stay UTF-8.
// 6. Shift-JIS whose only Japanese is half-width katakana in runs of even length (ﾎｰﾑﾍﾟｰｼﾞ) is
//    also clean EUC, all kanji. So when EUC-JP and Shift-JIS tie, a charset the page declares
//    decides; without one, EUC-JP wins when Shift-JIS would land on a user-defined code (EUC
//    kanji such as 株式会社 do; pages almost never hold one) or when a quarter of its characters
//    or more are kana, punctuation or other symbols of rows 1-8, as in any Japanese sentence.
//    Kanji alone, as half-width katakana read as EUC give, read as Shift-JIS.
//
// Only a near tie consults the declaration: this converter changes a file's code without
// touching its markup, so a declaration may be stale.
//
// Speed: counting stops as soon as a candidate can no longer win, and the leader on the first
// 64 KiB is counted first, by a caller that may convert while it counts: a clean text costs
// about one pass.
#include "Detect.h"

#include "Codecs.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet::unkanj {

namespace {

using detail::Byte;

class ErrorCounter
{
public:
    explicit ErrorCounter(std::size_t limit) : m_limit(limit) {}

    bool done() const { return m_errors >= m_limit; }
    std::size_t errors() const { return m_errors; }

    void ascii(const Byte *, std::size_t) {}
    void lineEnd() {}
    void kana(Byte) {}
    void codePoint(char32_t) {}
    void fault(const Byte *, std::size_t) { ++m_errors; }
    void dbcs(unsigned row, unsigned cell)
    {
        // Shift-JIS reaches rows 95-120 (user-defined and IBM); EUC and JIS stop at row 94.
        if (!isAssigned(row, cell))
            ++m_errors;
    }

private:
    std::size_t m_limit;
    std::size_t m_errors = 0;
};

// The number of escapes that select a set other than ASCII, and whether SO and SI occur.
struct JisMarks
{
    std::size_t designations = 0;
    // Escapes back to ASCII or JIS Roman: all a JIS page holds once its Japanese is gone.
    std::size_t asciiDesignations = 0;
    bool shiftOut = false;
    bool shiftIn = false;

    bool any() const { return designations > 0 || (shiftOut && shiftIn); }
};

// memchr() runs these scans at memory speed; they are repeated on every detection.
JisMarks findJisMarks(std::string_view text)
{
    JisMarks marks;
    const char *p = text.data();
    const char *end = p + text.size();
    while (const void *hit = std::memchr(p, detail::kEsc, static_cast<std::size_t>(end - p))) {
        auto esc = static_cast<const Byte *>(hit);
        detail::JisSet set = detail::JisSet::Ascii;
        if (detail::jisEscape(esc, reinterpret_cast<const Byte *>(end), set) != 0)
            ++(set == detail::JisSet::Ascii ? marks.asciiDesignations : marks.designations);
        p = reinterpret_cast<const char *>(esc) + 1;
    }
    marks.shiftOut = std::memchr(text.data(), detail::kSo, text.size()) != nullptr;
    marks.shiftIn = std::memchr(text.data(), detail::kSi, text.size()) != nullptr;
    return marks;
}

bool hasHighByte(std::string_view text)
{
    auto p = reinterpret_cast<const Byte *>(text.data());
    auto end = p + text.size();
    // The ASCII scanner stops at CR and LF too; step over them.
    while (p < end) {
        p = detail::plainRunEnd<false>(p, end);
        if (p < end && *p >= 0x80)
            return true;
        ++p;
    }
    return false;
}

// Candidates in the order that wins a tie.
constexpr KanjiCode kPreference[] = {KanjiCode::Jis, KanjiCode::Utf8, KanjiCode::Euc,
                                     KanjiCode::ShiftJis};

int rank(KanjiCode code)
{
    return static_cast<int>(std::find(std::begin(kPreference), std::end(kPreference), code) -
                            std::begin(kPreference));
}

// Counts the candidates in the given order; each is counted only as far as it can still win.
// The first is counted in full by countFirst when given.
Detection pickFewestErrors(std::string_view text, const std::vector<KanjiCode> &order,
                           std::size_t jisDesignations, const LeaderCount *countFirst)
{
    Detection best;
    bool found = false;
    for (KanjiCode code : order) {
        std::size_t extra = code == KanjiCode::Jis ? 0 : jisDesignations;
        std::size_t limit = std::numeric_limits<std::size_t>::max();
        if (found) {
            // It must beat the leader, or tie with it and rank before it.
            limit = rank(code) < rank(best.code) ? best.errors + 1 : best.errors;
            if (limit <= extra)
                continue;
        }
        std::size_t errors =
            extra + (!found && countFirst != nullptr ? (*countFirst)(code)
                                                     : countErrors(text, code, limit - extra));
        if (!found || errors < limit) {
            best = {code, errors};
            found = true;
        }
    }
    return best;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The code a charset label names, its letter case aside; nothing for a label of another code.
std::optional<KanjiCode> codeOfLabel(const std::string &label)
{
    for (const char *name : {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j", "cp932",
                             "ms932", "ms_kanji", "csshiftjis"}) {
        if (label == name)
            return KanjiCode::ShiftJis;
    }
    for (const char *name : {"euc-jp", "euc_jp", "x-euc-jp", "eucjp", "eucjp-ms", "euc-jp-ms",
                             "cseucpkdfmtjapanese"}) {
        if (label == name)
            return KanjiCode::Euc;
    }
    if (label == "utf-8" || label == "utf8")
        return KanjiCode::Utf8;
    return std::nullopt;
}

bool startsIgnoringCase(std::string_view s, std::string_view lowerPrefix)
{
    if (s.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        if (lowerAscii(s[i]) != lowerPrefix[i])
            return false;
    }
    return true;
}

// The label after "<key> = " at the start of s (blanks around "=" and a quote allowed), in
// lower case; empty when s does not start so.
std::string labelAfter(std::string_view s, std::string_view key)
{
    if (!startsIgnoringCase(s, key))
        return {};
    std::size_t i = key.size();
    const auto blanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
            ++i;
    };
    blanks();
    if (i >= s.size() || s[i] != '=')
        return {};
    ++i;
    blanks();
    if (i < s.size() && (s[i] == '"' || s[i] == '\''))
        ++i;
    std::string label;
    for (; i < s.size() && label.size() < 32; ++i) {
        const char c = lowerAscii(s[i]);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            break;
        label += c;
    }
    return label;
}

// The code the page declares in its first 64 KiB: the @charset rule of a style sheet or the
// encoding of an XML declaration at its start, or the charset of its first <meta> that names one
// ("charset=Shift_JIS", "charset = "euc-jp""). A charset on another element (a script's, a link's)
// speaks of another file. Nothing when there is none or it names another code.
std::optional<KanjiCode> declaredCode(std::string_view text)
{
    const std::string_view head = text.substr(0, 64 * 1024);
    // A style sheet's own rule, which must open the sheet: @charset "EUC-JP";
    if (head.substr(0, 10) == "@charset \"") {
        std::string label;
        for (std::size_t i = 10; i < head.size() && head[i] != '"' && label.size() < 32; ++i)
            label += lowerAscii(head[i]);
        return codeOfLabel(label);
    }
    if (head.substr(0, 5) == "<?xml") {
        const std::size_t end = head.find("?>");
        for (std::size_t i = 5; i < std::min(end, head.size()); ++i) {
            if (const std::string label = labelAfter(head.substr(i), "encoding"); !label.empty())
                return codeOfLabel(label);
        }
    }
    for (std::size_t at = head.find('<'); at != std::string_view::npos;
         at = head.find('<', at + 1)) {
        if (!startsIgnoringCase(head.substr(at + 1), "meta"))
            continue;
        const std::size_t close = head.find('>', at);
        const std::string_view tag =
            head.substr(at, close == std::string_view::npos ? head.size() - at : close - at);
        for (std::size_t i = 5; i < tag.size(); ++i) {
            if (const std::string label = labelAfter(tag.substr(i), "charset"); !label.empty())
                return codeOfLabel(label); // the first declaration counts, whatever it names
        }
    }
    return std::nullopt;
}

// What UTF-8 makes of the bytes above 0x7F.
struct Utf8Shape
{
    std::size_t sequences = 0; // whole characters of two to four bytes
    std::size_t faults = 0;
    // Faults with text on both sides, as a byte pasted from a Latin-1 page is; the faults of
    // Japanese in another code read as UTF-8 lie among its other bytes above 0x7F.
    std::size_t strayFaults = 0;
    bool twoByteOnly = true;
    // Two-byte characters from blocks a page hardly uses (Latin Extended-B, IPA, unassigned
    // Hebrew, Syriac, Thaana, NKo), as against accented Latin, Greek, Cyrillic, Hebrew or
    // Arabic letters.
    bool unlikely = false;
};

// With twoByteQuestion, the scan stops at the first fault or longer character, which already
// answers readsAsUnlikelyUtf8().
Utf8Shape utf8Shape(std::string_view text, bool twoByteQuestion = false)
{
    const auto begin = reinterpret_cast<const Byte *>(text.data());
    const auto end = begin + text.size();
    auto p = begin;
    Utf8Shape shape;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        char32_t cp = 0;
        std::size_t faultLength = 0;
        const std::size_t n = detail::utf8Length(p, end, cp, faultLength);
        if (n == 0) {
            ++shape.faults;
            if (twoByteQuestion)
                return shape;
            const bool asciiBefore = p == begin || p[-1] < 0x80;
            p += faultLength;
            shape.strayFaults += asciiBefore && (p == end || *p < 0x80) ? 1 : 0;
            continue;
        }
        ++shape.sequences;
        shape.twoByteOnly = shape.twoByteOnly && n == 2;
        if (twoByteQuestion && n > 2)
            return shape;
        const bool likely = (cp >= 0xA0 && cp <= 0x17F) || (cp >= 0x300 && cp <= 0x52F) ||
                            (cp >= 0x5D0 && cp <= 0x5EA) || (cp >= 0x600 && cp <= 0x6FF);
        shape.unlikely = shape.unlikely || (n == 2 && !likely);
        p += n;
    }
    return shape;
}

// Whether the bytes above 0x7F form UTF-8 but for a few faults: at least two whole sequences
// to each faulty one. Japanese in Shift-JIS or EUC-JP read as UTF-8 has more faults than
// sequences; UTF-8 with a stray byte or a character cut off has many sequences to each fault.
bool looksLikeUtf8(std::string_view text, bool otherReadingIsClean = false)
{
    const Utf8Shape shape = utf8Shape(text);
    return shape.sequences > 0 && shape.faults * 2 <= shape.sequences &&
           (!otherReadingIsClean || shape.strayFaults == shape.faults ||
            shape.faults * 8 <= shape.sequences);
}

// Whether the text is clean UTF-8 of two-byte characters only, some of them unlikely: what a
// few EUC kanji (鉄道 gives Ŵƻ) or Shift-JIS half-width katakana (ﾗｼﾞｵ) give.
bool readsAsUnlikelyUtf8(std::string_view text)
{
    const Utf8Shape shape = utf8Shape(text, true);
    return shape.faults == 0 && shape.twoByteOnly && shape.unlikely;
}

// Notes whether a reading lands on a user-defined code (rows 95-114, Shift-JIS only); stops at
// the first.
class UserDefinedFinder
{
public:
    bool found() const { return m_found; }
    bool done() const { return m_found; }
    void ascii(const Byte *, std::size_t) {}
    void lineEnd() {}
    void kana(Byte) {}
    void codePoint(char32_t) {}
    void fault(const Byte *, std::size_t) {}
    void dbcs(unsigned row, unsigned)
    {
        m_found = m_found || (row >= kFirstUserRow && row < kFirstIbmRow);
    }

private:
    bool m_found = false;
};

// Whether a text that reads equally well as EUC-JP and as Shift-JIS is EUC-JP.
bool tieIsEuc(std::string_view text)
{
    if (const auto declared = declaredCode(text);
        declared == KanjiCode::Euc || declared == KanjiCode::ShiftJis)
        return declared == KanjiCode::Euc;
    // Pages almost never hold user-defined characters, but EUC kanji read as Shift-JIS often
    // land on them (株式会社 gives two).
    UserDefinedFinder finder;
    detail::decode(KanjiCode::ShiftJis, text, finder);
    if (finder.found())
        return true;
    std::size_t characters = 0, kanaAndSymbols = 0;
    auto p = reinterpret_cast<const Byte *>(text.data());
    const auto end = p + text.size();
    while (p < end) {
        if (*p == 0x8E || *p == 0x8F) { // a half-width katakana, a JIS X 0212 character
            p += *p == 0x8E ? 2 : 3;
        } else if (*p >= 0xA1 && *p <= 0xFE && p + 1 < end) {
            ++characters;
            kanaAndSymbols += *p <= 0xA8 ? 1 : 0;
            p += 2;
        } else {
            ++p;
        }
    }
    return kanaAndSymbols * 4 >= characters;
}

} // namespace

std::size_t countErrors(std::string_view text, KanjiCode code, std::size_t limit)
{
    ErrorCounter counter(limit);
    detail::decode(code, text, counter);
    return counter.errors();
}

Detection detectCode(std::string_view text)
{
    return detectCode(text, [&](KanjiCode code) { return countErrors(text, code); });
}

Detection detectCode(std::string_view text, const LeaderCount &countLeader)
{
    if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) {
        // The mark says UTF-8, but a tool may have put it before a page in another code: what
        // follows decides when it does not read as UTF-8 (JIS, Shift-JIS hiragana).
        const Detection rest = detectCode(text.substr(3));
        if (rest.code == KanjiCode::Utf8 || rest.code == KanjiCode::Ascii ||
            looksLikeUtf8(text.substr(3)))
            return {KanjiCode::Utf8, countLeader(KanjiCode::Utf8)};
        return {rest.code, rest.errors, true};
    }

    JisMarks marks = findJisMarks(text);
    bool high = hasHighByte(text);
    if (!high && !marks.any()) {
        const bool jis = marks.asciiDesignations > 0 && countErrors(text, KanjiCode::Jis, 1) == 0;
        const KanjiCode code = jis ? KanjiCode::Jis : KanjiCode::Ascii;
        return {code, countLeader(code)};
    }

    std::vector<KanjiCode> candidates;
    for (KanjiCode code : kPreference) {
        if (code != KanjiCode::Jis || marks.any())
            candidates.push_back(code);
    }
    // The leader on the first 64 KiB is counted first and in full; the others then usually
    // stop at their first error.
    constexpr std::size_t kSampleSize = 64 * 1024;
    Detection lead =
        pickFewestErrors(text.substr(0, kSampleSize), candidates, marks.designations, nullptr);
    std::stable_partition(candidates.begin(), candidates.end(),
                          [&](KanjiCode code) { return code == lead.code; });
    Detection best = pickFewestErrors(text, candidates, marks.designations, &countLeader);
    // UTF-8 Japanese is mostly clean Shift-JIS too, so a few stray bytes in it (a footer pasted
    // from a Latin-1 page) would let Shift-JIS win on errors alone.
    if ((best.code == KanjiCode::ShiftJis || best.code == KanjiCode::Euc) &&
        looksLikeUtf8(text, best.errors == 0))
        best = {KanjiCode::Utf8, countErrors(text, KanjiCode::Utf8) + marks.designations};
    // Both readings carry the same count for JIS escapes.
    const std::size_t own = best.errors - std::min(best.errors, marks.designations);
    if (best.code == KanjiCode::Utf8) {
        // A few kanji in EUC-JP (鉄道, 年) or half-width katakana in Shift-JIS (ﾗｼﾞｵ) are also
        // valid UTF-8: the code the page declares wins when it reads no worse.
        const auto declared = declaredCode(text);
        if ((declared == KanjiCode::ShiftJis || declared == KanjiCode::Euc) &&
            countErrors(text, *declared, own + 1) <= own)
            return {*declared, countErrors(text, *declared) + marks.designations};
        // Without a declaration, characters no page would hold make the Japanese reading that
        // reads the text no worse the likelier one.
        if (declared != KanjiCode::Utf8 && readsAsUnlikelyUtf8(text)) {
            const std::size_t euc = countErrors(text, KanjiCode::Euc, own + 1);
            const std::size_t sjis = countErrors(text, KanjiCode::ShiftJis, own + 1);
            if (std::min(euc, sjis) <= own) {
                const bool isEuc = euc < sjis || (euc == sjis && tieIsEuc(text));
                return {isEuc ? KanjiCode::Euc : KanjiCode::ShiftJis,
                        std::min(euc, sjis) + marks.designations};
            }
        }
    }
    if (best.code == KanjiCode::Euc && countErrors(text, KanjiCode::ShiftJis, own + 1) == own &&
        !tieIsEuc(text))
        return {KanjiCode::ShiftJis, best.errors};
    return best;
}

} // namespace scrivlet::unkanj
