// The decoders of the source codes and the encoders of the output codes. A decoder walks the
// bytes and hands each character to a sink as what it is in CP932 terms (an ASCII run, a line
// end, a double-byte code, a half-width katakana, a code point CP932 lacks, or faulty bytes);
// an encoder is such a sink that writes an output code. Templates, so that each pair compiles
// into one loop: the benchmark pair Shift-JIS to EUC is a few table look-ups per character.
#pragma once

#include "KanjiCode.h"
#include "KanjiTables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace scrivlet::unkanj::detail {

using Byte = std::uint8_t;

// Writes the code point's UTF-8 bytes, one to four, at o; returns how many.
inline std::size_t putUtf8(char32_t cp, Byte *o)
{
    if (cp < 0x80) {
        o[0] = static_cast<Byte>(cp);
        return 1;
    }
    if (cp < 0x800) {
        o[0] = static_cast<Byte>(0xC0 | cp >> 6);
        o[1] = static_cast<Byte>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        o[0] = static_cast<Byte>(0xE0 | cp >> 12);
        o[1] = static_cast<Byte>(0x80 | (cp >> 6 & 0x3F));
        o[2] = static_cast<Byte>(0x80 | (cp & 0x3F));
        return 3;
    }
    o[0] = static_cast<Byte>(0xF0 | cp >> 18);
    o[1] = static_cast<Byte>(0x80 | (cp >> 12 & 0x3F));
    o[2] = static_cast<Byte>(0x80 | (cp >> 6 & 0x3F));
    o[3] = static_cast<Byte>(0x80 | (cp & 0x3F));
    return 4;
}

inline constexpr Byte kCr = 0x0D;
inline constexpr Byte kLf = 0x0A;
inline constexpr Byte kEsc = 0x1B;
inline constexpr Byte kSo = 0x0E;
inline constexpr Byte kSi = 0x0F;

// 〓 (U+3013, the geta mark), which stands for a faulty sequence in EUC and JIS output: row 2,
// cell 14 in every code (Shift-JIS 0x81AC, EUC 0xA2AE, JIS 0x222E).
inline constexpr unsigned kGetaRow = 2;
inline constexpr unsigned kGetaCell = 14;

// ---------------------------------------------------------------------------------------------
// Shift-JIS arithmetic

struct SjisTables
{
    // The odd row a lead byte starts (1, 3, ... 119); 0 for a byte that leads nothing.
    std::array<Byte, 256> leadRow{};
    // The cell (1-94) of a trail byte, plus 0x80 when the pair lies in the even row; 0 for a
    // byte that cannot trail.
    std::array<Byte, 256> trail{};
};

constexpr SjisTables makeSjisTables()
{
    SjisTables t;
    for (unsigned b = 0x81; b <= 0x9F; ++b)
        t.leadRow[b] = static_cast<Byte>(2 * (b - 0x81) + 1);
    for (unsigned b = 0xE0; b <= 0xFC; ++b)
        t.leadRow[b] = static_cast<Byte>(2 * (b - 0xC1) + 1);
    for (unsigned b = 0x40; b <= 0x7E; ++b)
        t.trail[b] = static_cast<Byte>(b - 0x3F);
    for (unsigned b = 0x80; b <= 0x9E; ++b)
        t.trail[b] = static_cast<Byte>(b - 0x40);
    for (unsigned b = 0x9F; b <= 0xFC; ++b)
        t.trail[b] = static_cast<Byte>(0x80 | (b - 0x9E));
    return t;
}

inline constexpr SjisTables kSjis = makeSjisTables();

constexpr Byte sjisLead(unsigned row)
{
    return static_cast<Byte>((row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0));
}

constexpr Byte sjisTrail(unsigned row, unsigned cell)
{
    if (row % 2 == 0)
        return static_cast<Byte>(cell + 0x9E);
    return static_cast<Byte>(cell + 0x3F + (cell >= 64 ? 1 : 0));
}

// ---------------------------------------------------------------------------------------------
// Scanning

// The end of the run at p of bytes that every decoder passes on as they are: below 0x80 and
// neither CR nor LF (nor, for JIS, ESC, SO or SI). Eight bytes at a time: markup and ASCII text
// are the bulk of a web page.
template<bool ForJis>
inline const Byte *plainRunEnd(const Byte *p, const Byte *end)
{
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = 0x8080808080808080ULL;
    auto hasByte = [](std::uint64_t v, Byte b) {
        std::uint64_t x = v ^ (ones * b);
        return (x - ones) & ~x & highs;
    };
    while (end - p >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        std::uint64_t stop = (v & highs) | hasByte(v, kCr) | hasByte(v, kLf);
        if constexpr (ForJis)
            stop |= hasByte(v, kEsc) | hasByte(v, kSo) | hasByte(v, kSi);
        if (stop != 0)
            break;
        p += 8;
    }
    while (p < end) {
        Byte b = *p;
        if (b >= 0x80 || b == kCr || b == kLf)
            break;
        if (ForJis && (b == kEsc || b == kSo || b == kSi))
            break;
        ++p;
    }
    return p;
}

// Handles the line end at p (CR LF, a lone CR or a lone LF) and returns the byte after it.
template<class Sink>
inline const Byte *lineEnd(const Byte *p, const Byte *end, Sink &sink)
{
    sink.lineEnd();
    if (*p == kCr && p + 1 < end && p[1] == kLf)
        return p + 2;
    return p + 1;
}

// Hands on a character known by its code point: by its CP932 code when it has one.
template<class Sink>
inline void emitCodePoint(Sink &sink, const PackedCode *fromUnicode, char32_t cp)
{
    PackedCode code = cp < 0x10000 ? fromUnicode[cp] : 0;
    if (code == 0)
        sink.codePoint(cp);
    else if (code < 0x100)
        sink.kana(static_cast<Byte>(code));
    else
        sink.dbcs(code >> 8, code & 0xFF);
}

// A JIS X 0212 character (row and cell 1-94) from EUC or JIS, as its CP932 twin where it has
// one. An unassigned code is faulty input.
template<class Sink>
inline void emitSupplementary(Sink &sink, const PackedCode *fromUnicode, unsigned row,
                              unsigned cell, const Byte *bytes, std::size_t length,
                              const std::uint16_t (&table)[94][94] = kJis0212ToUnicode)
{
    char32_t cp = table[row - 1][cell - 1];
    if (cp == 0)
        sink.fault(bytes, length);
    else
        emitCodePoint(sink, fromUnicode, cp);
}

// ---------------------------------------------------------------------------------------------
// Decoders. Each calls sink.done() between characters so that counting can stop early. A
// faulty byte goes to sink.fault() and decoding resumes at the very next byte, so the text
// around a fault always comes through.

// Passes the ASCII byte at p on: a line end, or the run of plain bytes up to the next special
// one. Returns where decoding goes on.
template<class Sink>
const Byte *passAscii(const Byte *p, const Byte *end, Sink &sink)
{
    if (*p == kCr || *p == kLf)
        return lineEnd(p, end, sink);
    const Byte *q = plainRunEnd<false>(p, end);
    sink.ascii(p, static_cast<std::size_t>(q - p));
    return q;
}

template<class Sink>
void decodeShiftJis(const Byte *p, const Byte *end, Sink &sink)
{
    while (p < end && !sink.done()) {
        Byte b = *p;
        if (b < 0x80) {
            p = passAscii(p, end, sink);
            continue;
        }
        if (unsigned row = kSjis.leadRow[b]; row != 0) {
            Byte t = p + 1 < end ? kSjis.trail[p[1]] : 0;
            if (t != 0) {
                sink.dbcs(row + (t >> 7), t & 0x7F);
                p += 2;
            } else {
                sink.fault(p, 1);
                ++p;
            }
        } else if (b >= 0xA1 && b <= 0xDF) {
            sink.kana(b);
            ++p;
        } else {
            sink.fault(p, 1);
            ++p;
        }
    }
}

inline bool isEucByte(Byte b)
{
    return b >= 0xA1 && b <= 0xFE;
}

template<class Sink>
void decodeEuc(const Byte *p, const Byte *end, Sink &sink, const PackedCode *fromUnicode)
{
    while (p < end && !sink.done()) {
        Byte b = *p;
        if (b < 0x80) {
            p = passAscii(p, end, sink);
        } else if (isEucByte(b) && p + 1 < end && isEucByte(p[1])) {
            const unsigned cell = p[1] - 0xA0u;
            sink.dbcs(rowOfJisCode(b - 0xA0u, cell), cell);
            p += 2;
        } else if (b == 0x8E && p + 1 < end && p[1] >= 0xA1 && p[1] <= 0xDF) {
            sink.kana(p[1]);
            p += 2;
        } else if (b == 0x8F && end - p >= 3 && isEucByte(p[1]) && isEucByte(p[2])) {
            emitSupplementary(sink, fromUnicode, p[1] - 0xA0u, p[2] - 0xA0u, p, 3);
            p += 3;
        } else {
            sink.fault(p, 1);
            ++p;
        }
    }
}

// The length of the valid UTF-8 sequence at p (1-4), or 0 with *faultLength set to the length
// of its longest valid beginning (at least 1), which is then one fault.
inline std::size_t utf8Length(const Byte *p, const Byte *end, char32_t &cp,
                              std::size_t &faultLength)
{
    Byte b = *p;
    std::size_t need;
    Byte low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        cp = b & 0x0F;
        if (b == 0xE0)
            low = 0xA0; // overlong
        else if (b == 0xED)
            high = 0x9F; // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        cp = b & 0x07;
        if (b == 0xF0)
            low = 0x90; // overlong
        else if (b == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        faultLength = 1;
        return 0;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        if (p + i >= end || p[i] < low || p[i] > high) {
            faultLength = i;
            return 0;
        }
        cp = cp << 6 | (p[i] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return need + 1;
}

template<class Sink>
void decodeUtf8(const Byte *p, const Byte *end, Sink &sink, const PackedCode *fromUnicode)
{
    if (end - p >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        p += 3; // the byte-order mark says only what we already know
    while (p < end && !sink.done()) {
        Byte b = *p;
        if (b < 0x80) {
            p = passAscii(p, end, sink);
            continue;
        }
        char32_t cp = 0;
        std::size_t faultLength = 0;
        if (std::size_t n = utf8Length(p, end, cp, faultLength); n != 0) {
            emitCodePoint(sink, fromUnicode, cp);
            p += n;
        } else {
            sink.fault(p, faultLength);
            p += faultLength;
        }
    }
}

// The character sets a JIS text switches between. JisX0213Plane1 holds JIS X 0208 at the same
// codes and, in row 13, the NEC characters of CP932; the rest of it, rows 85-94 included (whose
// rows 89-92 must not be taken for the IBM extensions EUC keeps there), is other characters.
// Plane 2 is read as faults.
enum class JisSet { Ascii, Kanji, Kana, Supplementary, JisX0213Plane1, JisX0213Plane2 };

// Reads the escape sequence at p (p[0] is ESC). Returns its length and sets *set to the set it
// designates to G0, or returns its length with *set untouched for one that designates nothing
// we need (ESC ) I, whose katakana SO brings in anyway; ESC & @, the announcer of the 1990
// edition). Returns 0 for anything else.
inline std::size_t jisEscape(const Byte *p, const Byte *end, JisSet &set)
{
    auto at = [&](std::size_t i) -> int {
        return p + i < end ? p[i] : -1;
    };
    if (at(1) == '(') {
        switch (at(2)) {
        case 'B': // ASCII
        case 'J': // JIS X 0201 Roman, read as ASCII
        case 'H': // an old name of JIS X 0201 Roman
            set = JisSet::Ascii;
            return 3;
        case 'I':
            set = JisSet::Kana;
            return 3;
        }
    } else if (at(1) == '$') {
        switch (at(2)) {
        case '@': // JIS C 6226-1978, read as JIS X 0208
        case 'B':
            set = JisSet::Kanji;
            return 3;
        case '(':
            switch (at(3)) {
            case '@':
            case 'B':
                set = JisSet::Kanji;
                return 4;
            case 'D':
                set = JisSet::Supplementary;
                return 4;
            case 'O': // JIS X 0213:2000 plane 1
            case 'Q': // JIS X 0213:2004 plane 1
                set = JisSet::JisX0213Plane1;
                return 4;
            case 'P':
                set = JisSet::JisX0213Plane2;
                return 4;
            }
        }
    } else if (at(1) == ')' && at(2) == 'I') {
        return 3;
    } else if (at(1) == '&' && at(2) == '@') {
        return 3;
    }
    return 0;
}

template<class Sink>
void decodeJis(const Byte *p, const Byte *end, Sink &sink, const PackedCode *fromUnicode)
{
    JisSet g0 = JisSet::Ascii;
    bool shiftedOut = false; // SO: half-width katakana until SI
    auto isJisByte = [](Byte b) {
        return b >= 0x21 && b <= 0x7E;
    };
    while (p < end && !sink.done()) {
        Byte b = *p;
        if (b == kEsc) {
            if (std::size_t n = jisEscape(p, end, g0); n != 0) {
                p += n;
            } else {
                sink.fault(p, 1);
                ++p;
            }
            continue;
        }
        if (b == kSo || b == kSi) {
            shiftedOut = b == kSo;
            ++p;
            continue;
        }
        if (b == kCr || b == kLf) {
            p = lineEnd(p, end, sink);
            continue;
        }
        if (b >= 0x80) {
            sink.fault(p, 1);
            ++p;
            continue;
        }
        // Controls and the blank are themselves in every set: texts that forgot to return to
        // ASCII before a line end or a tab are common, and nothing else can be meant.
        JisSet set = shiftedOut ? JisSet::Kana : g0;
        if (set == JisSet::Ascii || !isJisByte(b)) {
            const Byte *q = set == JisSet::Ascii ? plainRunEnd<true>(p, end) : p + 1;
            sink.ascii(p, static_cast<std::size_t>(q - p));
            p = q;
        } else if (set == JisSet::Kana) {
            if (b <= 0x5F)
                sink.kana(static_cast<Byte>(b | 0x80));
            else
                sink.fault(p, 1);
            ++p;
        } else if (p + 1 < end && isJisByte(p[1])) {
            if (set == JisSet::Kanji) {
                // The run of kanji up to the next escape or control, in one tight loop.
                do {
                    const unsigned cell = p[1] - 0x20u;
                    sink.dbcs(rowOfJisCode(p[0] - 0x20u, cell), cell);
                    p += 2;
                } while (end - p >= 2 && isJisByte(p[0]) && isJisByte(p[1]) && !sink.done());
            } else if (set == JisSet::Supplementary) {
                emitSupplementary(sink, fromUnicode, b - 0x20u, p[1] - 0x20u, p, 2);
                p += 2;
            } else if (set == JisSet::JisX0213Plane1) {
                // JIS X 0208's codes and NEC's row 13 read as under ESC $ B; the characters
                // JIS X 0213 added, by their code points.
                const unsigned row = b - 0x20u, cell = p[1] - 0x20u;
                if (row <= 84 && isAssigned(row, cell))
                    sink.dbcs(row, cell);
                else
                    emitSupplementary(sink, fromUnicode, row, cell, p, 2, kJis0213Plane1ToUnicode);
                p += 2;
            } else {
                sink.fault(p, 2);
                p += 2;
            }
        } else {
            sink.fault(p, 1);
            ++p;
        }
    }
}

// A sink that takes every character known by its code point as that code point, rather than by
// its CP932 code: the UTF-8 encoder, for which a UTF-8 source passes through character for
// character (U+301C stays U+301C, not the U+FF5E its CP932 code would give back).
template<class Sink>
inline constexpr bool kKeepsCodePoints = requires
{
    Sink::kKeepsCodePoints;
};

// The CP932 table of a sink that wants none: every code point goes to codePoint().
inline constexpr PackedCode kNoCodes[0x10000] = {};

// Runs the decoder of a source code over a text.
template<class Sink>
void decode(KanjiCode code, std::string_view text, Sink &sink)
{
    auto p = reinterpret_cast<const Byte *>(text.data());
    auto end = p + text.size();
    const PackedCode *fromUnicode = kKeepsCodePoints<Sink> ? kNoCodes : derivedTables().fromUnicode;
    switch (code) {
    case KanjiCode::Ascii:
    case KanjiCode::ShiftJis:
        decodeShiftJis(p, end, sink);
        break;
    case KanjiCode::Euc:
        decodeEuc(p, end, sink, fromUnicode);
        break;
    case KanjiCode::Jis:
        decodeJis(p, end, sink, fromUnicode);
        break;
    case KanjiCode::Utf8:
        decodeUtf8(p, end, sink, fromUnicode);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Encoders

// A growing output buffer written through raw pointers.
class Output
{
public:
    explicit Output(std::size_t expected) : m_buffer(expected + 64, '\0') {}

    // Room for n more bytes.
    Byte *room(std::size_t n)
    {
        if (m_buffer.size() - m_length < n)
            m_buffer.resize(std::max(m_buffer.size() * 3 / 2, m_length + n + 64));
        return reinterpret_cast<Byte *>(m_buffer.data()) + m_length;
    }
    void advance(std::size_t n) { m_length += n; }

    void write(const Byte *p, std::size_t n)
    {
        std::memcpy(room(n), p, n);
        m_length += n;
    }

    std::string take()
    {
        m_buffer.resize(m_length);
        return std::move(m_buffer);
    }

private:
    std::string m_buffer;
    std::size_t m_length = 0;
};

// What every encoder shares: the output, the line end and the references.
class EncoderBase
{
public:
    EncoderBase(Output &out, LineEnd lineEnd, ReferenceStyle references)
        : m_out(out), m_lineEnd(lineEnd), m_references(references)
    {}

    static constexpr bool done() { return false; }

protected:
    void writeLineEnd()
    {
        Byte *o = m_out.room(2);
        switch (m_lineEnd) {
        case LineEnd::CrLf:
            o[0] = kCr;
            o[1] = kLf;
            m_out.advance(2);
            break;
        case LineEnd::Cr:
            o[0] = kCr;
            m_out.advance(1);
            break;
        case LineEnd::Lf:
            o[0] = kLf;
            m_out.advance(1);
            break;
        }
    }

    // "&#x" + upper-case hex + ";" for HTML, "\" + hex + " " for CSS, "\u" and four hex digits
    // for each UTF-16 unit in a script: the reader sees the character even though the code
    // cannot carry it.
    void writeReference(char32_t cp)
    {
        if (m_references == ReferenceStyle::Script) {
            if (cp > 0xFFFF) {
                writeScriptUnit(0xD800 + ((cp - 0x10000) >> 10));
                writeScriptUnit(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                writeScriptUnit(cp);
            }
            return;
        }
        char digits[8];
        int n = 0;
        do {
            digits[n++] = "0123456789ABCDEF"[cp & 0xF];
            cp >>= 4;
        } while (cp != 0);
        Byte *o = m_out.room(16);
        Byte *start = o;
        if (m_references == ReferenceStyle::Css) {
            *o++ = '\\';
        } else {
            *o++ = '&';
            *o++ = '#';
            *o++ = 'x';
        }
        while (n > 0)
            *o++ = static_cast<Byte>(digits[--n]);
        *o++ = m_references == ReferenceStyle::Css ? ' ' : ';';
        m_out.advance(static_cast<std::size_t>(o - start));
    }

    void writeScriptUnit(char32_t unit)
    {
        Byte *o = m_out.room(6);
        o[0] = '\\';
        o[1] = 'u';
        for (int i = 0; i < 4; ++i)
            o[2 + i] = static_cast<Byte>("0123456789ABCDEF"[unit >> (12 - 4 * i) & 0xF]);
        m_out.advance(6);
    }

    void writeShiftJisBytes(unsigned row, unsigned cell)
    {
        Byte *o = m_out.room(2);
        o[0] = sjisLead(row);
        o[1] = sjisTrail(row, cell);
        m_out.advance(2);
    }

    // The code in rows 1-94 that stands for a code of rows 95-120 in JIS and EUC, or 0 when
    // there is none and writeUserDefined() must write what stands for it.
    static PackedCode jisRowsCode(unsigned row, unsigned cell)
    {
        if (row < kFirstIbmRow) {
            const unsigned jisRow = row - kJisUserRowShift;
            return jisRow <= kJisRows && rowOfJisCode(jisRow, cell) == row
                       ? static_cast<PackedCode>(jisRow << 8 | cell)
                       : 0;
        }
        return derivedTables().ibmTwin[row - kFirstIbmRow][cell - 1];
    }

    // A user-defined character without a place in JIS and EUC (rows 89-92 hold IBM extensions
    // there, and rows 105-114 lie beyond) is written as its reference. An unassigned IBM code
    // is no character at all: the caller writes 〓 for it, as for any faulty input; false
    // then.
    bool writeUserDefined(unsigned row, unsigned cell)
    {
        if (row >= kFirstIbmRow)
            return false;
        writeReference(kFirstUserCodePoint + (row - kFirstUserRow) * 94 + (cell - 1));
        return true;
    }

    Output &m_out;
    LineEnd m_lineEnd;
    ReferenceStyle m_references;
};

class ShiftJisEncoder : public EncoderBase
{
public:
    using EncoderBase::EncoderBase;

    void ascii(const Byte *p, std::size_t n) { m_out.write(p, n); }
    void lineEnd() { writeLineEnd(); }
    void dbcs(unsigned row, unsigned cell) { writeShiftJisBytes(row, cell); }
    void kana(Byte b) { m_out.write(&b, 1); }
    void codePoint(char32_t cp) { writeReference(cp); }
    // Faulty bytes of a Shift-JIS source pass through, so that a stray byte survives a load and
    // a save as Shift-JIS. Those of another code would read as other characters here (a cut
    // UTF-8 sequence E3 81 is the kanji 縺), so they become 〓 as in the other outputs.
    void fault(const Byte *p, std::size_t n)
    {
        if (m_keepFaults)
            m_out.write(p, n);
        else
            writeShiftJisBytes(kGetaRow, kGetaCell);
    }
    void finish() {}
    void setSource(KanjiCode from) { m_keepFaults = from == KanjiCode::ShiftJis; }

private:
    bool m_keepFaults = true;
};

class EucEncoder : public EncoderBase
{
public:
    using EncoderBase::EncoderBase;

    void ascii(const Byte *p, std::size_t n) { m_out.write(p, n); }
    void lineEnd() { writeLineEnd(); }
    void dbcs(unsigned row, unsigned cell)
    {
        if (row > kJisRows) {
            PackedCode code = jisRowsCode(row, cell);
            if (code == 0 && writeUserDefined(row, cell))
                return;
            row = code != 0 ? code >> 8 : kGetaRow;
            cell = code != 0 ? code & 0xFF : kGetaCell;
        }
        Byte *o = m_out.room(2);
        o[0] = static_cast<Byte>(row + 0xA0);
        o[1] = static_cast<Byte>(cell + 0xA0);
        m_out.advance(2);
    }
    void kana(Byte b)
    {
        Byte *o = m_out.room(2);
        o[0] = 0x8E;
        o[1] = b;
        m_out.advance(2);
    }
    void codePoint(char32_t cp) { writeReference(cp); }
    // EUC output is always valid EUC: a faulty sequence of the source becomes one 〓.
    void fault(const Byte *, std::size_t) { dbcs(kGetaRow, kGetaCell); }
    void finish() {}
};

// ISO-2022-JP with the CP932 rows: only ESC $ B, ESC ( I and ESC ( B, each written only when
// the set changes, and ASCII again before every control character, every reference and at the
// end.
class JisEncoder : public EncoderBase
{
public:
    using EncoderBase::EncoderBase;

    void ascii(const Byte *p, std::size_t n)
    {
        // ESC, SO and SI of a source in another code would read as (or break) the escapes of
        // JIS: each becomes its reference, so the output stays valid JIS.
        const Byte *end = p + n;
        const Byte *first = p;
        while (first < end && *first != kEsc && *first != kSo && *first != kSi)
            ++first;
        if (first == end) [[likely]] {
            select(JisSet::Ascii);
            m_out.write(p, n);
            return;
        }
        const Byte *run = p;
        for (const Byte *q = first; q < end; ++q) {
            if (*q == kEsc || *q == kSo || *q == kSi) [[unlikely]] {
                select(JisSet::Ascii);
                m_out.write(run, static_cast<std::size_t>(q - run));
                writeReference(*q);
                run = q + 1;
            }
        }
        if (end > run || n == 0) {
            select(JisSet::Ascii);
            m_out.write(run, static_cast<std::size_t>(end - run));
        }
    }
    void lineEnd()
    {
        select(JisSet::Ascii);
        writeLineEnd();
    }
    void dbcs(unsigned row, unsigned cell)
    {
        if (row > kJisRows) {
            PackedCode code = jisRowsCode(row, cell);
            if (code == 0 && row < kFirstIbmRow) {
                select(JisSet::Ascii);
                writeUserDefined(row, cell);
                return;
            }
            row = code != 0 ? code >> 8 : kGetaRow;
            cell = code != 0 ? code & 0xFF : kGetaCell;
        }
        select(JisSet::Kanji);
        Byte *o = m_out.room(2);
        o[0] = static_cast<Byte>(row + 0x20);
        o[1] = static_cast<Byte>(cell + 0x20);
        m_out.advance(2);
    }
    void kana(Byte b)
    {
        select(JisSet::Kana);
        Byte k = static_cast<Byte>(b - 0x80);
        m_out.write(&k, 1);
    }
    void codePoint(char32_t cp)
    {
        select(JisSet::Ascii);
        writeReference(cp);
    }
    // JIS output is always valid JIS: a faulty sequence of the source becomes one 〓.
    void fault(const Byte *, std::size_t) { dbcs(kGetaRow, kGetaCell); }
    void finish() { select(JisSet::Ascii); }

private:
    void select(JisSet set)
    {
        if (set == m_set)
            return;
        static const Byte ascii[] = {kEsc, '(', 'B'};
        static const Byte kanji[] = {kEsc, '$', 'B'};
        static const Byte kana[] = {kEsc, '(', 'I'};
        m_out.write(set == JisSet::Ascii ? ascii : set == JisSet::Kanji ? kanji : kana, 3);
        m_set = set;
    }

    JisSet m_set = JisSet::Ascii;
};

// UTF-8 without a byte-order mark: every character as itself. A code of a Shift-JIS, EUC or JIS
// source is its CP932 character (a user-defined one its private-use code point); a faulty
// sequence, or a code CP932 leaves unassigned, becomes 〓 as in EUC and JIS.
class Utf8Encoder : public EncoderBase
{
public:
    using EncoderBase::EncoderBase;
    static constexpr bool kKeepsCodePoints = true;

    void ascii(const Byte *p, std::size_t n) { m_out.write(p, n); }
    void lineEnd() { writeLineEnd(); }
    void dbcs(unsigned row, unsigned cell)
    {
        char32_t cp = row >= kFirstUserRow && row < kFirstIbmRow
                          ? kFirstUserCodePoint + (row - kFirstUserRow) * 94 + (cell - 1)
                          : kCp932ToUnicode[row - 1][cell - 1];
        writeUtf8(cp != 0 ? cp : kGeta);
    }
    void kana(Byte b) { writeUtf8(0xFF61 + (b - 0xA1u)); }
    void codePoint(char32_t cp) { writeUtf8(cp); }
    void fault(const Byte *, std::size_t) { writeUtf8(kGeta); }
    void finish() {}

private:
    static constexpr char32_t kGeta = 0x3013;

    void writeUtf8(char32_t cp) { m_out.advance(putUtf8(cp, m_out.room(4))); }
};

} // namespace scrivlet::unkanj::detail
