#include "files/IniFormat.h"

#include "files/Cp932.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace scrivlet::files {

namespace {

enum class TextCode { Cp932, Utf8, Unsupported };

struct Encoding
{
    TextCode code;
    qsizetype bodyStart; // after the byte-order mark
};

// Whether each character of three bytes in valid UTF-8 is one a settings file would hold:
// punctuation and symbols, kana, kanji, Hangul, full-width forms. Second-level kanji in Shift-JIS
// can also be valid UTF-8 by chance, but then give other scripts (凜子 gives U+A8CE).
bool holdsLikelyUtf8(QByteArrayView file)
{
    for (qsizetype i = 0; i < file.size(); ++i) {
        const auto lead = static_cast<uchar>(file[i]);
        if ((lead & 0xF0) != 0xE0)
            continue;
        const char32_t c = (lead & 0x0Fu) << 12 | (static_cast<uchar>(file[i + 1]) & 0x3Fu) << 6 |
                           (static_cast<uchar>(file[i + 2]) & 0x3Fu);
        if (!((c >= 0x1E00 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7FF) || c >= 0xF900))
            return false;
        i += 2;
    }
    return true;
}

Encoding encodingOf(QByteArrayView file)
{
    if (file.startsWith("\xEF\xBB\xBF"))
        return {TextCode::Utf8, 3};
    // Neither byte can begin a Shift-JIS text, so this is a UTF-16 mark, not a coincidence.
    if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF"))
        return {TextCode::Unsupported, 0};
    // A file edited in UTF-8 without a mark, as Linux editors save it: Japanese in Shift-JIS is
    // hardly ever valid UTF-8 throughout, and read as Shift-JIS its entries came out garbled and
    // were dropped at the next write. Japanese in UTF-8 takes three bytes a character; a few
    // Shift-JIS pairs (ﾃｽ, ﾏｲ) are also two-byte UTF-8 (ý, ϲ), so a file with only those stays
    // Shift-JIS, as the program wrote it.
    const bool threeBytes = std::any_of(
        file.begin(), file.end(), [](char c) { return (static_cast<uchar>(c) & 0xF0) >= 0xE0; });
    if (threeBytes && file.isValidUtf8() && holdsLikelyUtf8(file))
        return {TextCode::Utf8, 0};
    return {TextCode::Cp932, 0};
}

// The blanks the Windows reader drops, including ^Z, the DOS end-of-file mark. All lie below
// 0x40, where no trail byte of a double-byte character does, so a byte test is safe.
bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A';
}

bool isBlankUnit(QChar c)
{
    return c.unicode() < 0x80 && isBlank(static_cast<char>(c.unicode()));
}

bool isLeadByte(uchar c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isTrailByte(uchar c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Width in bytes of the character at i of a text that ends at end.
qsizetype charWidth(QByteArrayView file, qsizetype i, qsizetype end, TextCode code)
{
    if (code == TextCode::Cp932) {
        const auto lead = static_cast<uchar>(file[i]);
        if (isLeadByte(lead) && i + 1 < end && isTrailByte(static_cast<uchar>(file[i + 1])))
            return 2;
        return 1;
    }
    qsizetype width = 1;
    while (i + width < end && (static_cast<uchar>(file[i + width]) & 0xC0) == 0x80)
        ++width;
    return width;
}

QString decode(QByteArrayView bytes, TextCode code)
{
    return code == TextCode::Utf8 ? QString::fromUtf8(bytes) : decodeCp932(bytes);
}

std::optional<QByteArray> encode(QStringView text, TextCode code)
{
    if (code == TextCode::Utf8) {
        // A lone surrogate would come back as U+FFFD: not a faithful copy.
        if (!text.isValidUtf16())
            return std::nullopt;
        return text.toUtf8();
    }
    bool ok = false;
    QByteArray bytes = encodeCp932(text, &ok);
    if (!ok)
        return std::nullopt;
    return bytes;
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankUnit(text[begin]))
        ++begin;
    while (end > begin && isBlankUnit(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

struct Line
{
    qsizetype begin = 0; // first byte
    qsizetype end = 0;   // end of the text, before the line break
    qsizetype next = 0;  // after the line break
};

// CR LF, a lone LF and a lone CR each end a line, so files from any system read alike.
Line lineAt(QByteArrayView file, qsizetype begin)
{
    Line line{begin, begin, begin};
    const qsizetype size = file.size();
    qsizetype i = begin;
    while (i < size && file[i] != '\n' && file[i] != '\r')
        ++i;
    line.end = i;
    if (i < size && file[i] == '\r')
        ++i;
    if (i < size && file[i] == '\n')
        ++i;
    line.next = i;
    return line;
}

QByteArray lineBreakOf(QByteArrayView file, qsizetype bodyStart)
{
    const Line first = lineAt(file, bodyStart);
    if (first.next == first.end)
        return QByteArrayLiteral("\r\n");
    return file.sliced(first.end, first.next - first.end).toByteArray();
}

enum class Kind { Blank, Comment, Section, Key, Other };

struct Parsed
{
    Kind kind = Kind::Other;
    qsizetype nameBegin = 0;
    qsizetype nameEnd = 0;
    qsizetype equals = 0;     // key lines: the "="
    qsizetype valueBegin = 0; // key lines: the value without the blanks around it
    qsizetype valueEnd = 0;
};

Parsed parse(QByteArrayView file, const Line &line, TextCode code)
{
    Parsed p;
    qsizetype begin = line.begin;
    qsizetype end = line.end;
    while (begin < end && isBlank(file[begin]))
        ++begin;
    while (end > begin && isBlank(file[end - 1]))
        --end;
    if (begin == end) {
        p.kind = Kind::Blank;
        return p;
    }
    if (file[begin] == ';') {
        p.kind = Kind::Comment;
        return p;
    }
    if (file[begin] == '[') {
        // The last "]" that is a character of its own, not the second byte of a kanji (0x5D
        // is a valid trail byte). Without one the line opens no section, as on Windows.
        qsizetype close = -1;
        for (qsizetype i = begin; i < end; i += charWidth(file, i, end, code)) {
            if (file[i] == ']')
                close = i;
        }
        if (close > begin) {
            p.kind = Kind::Section;
            p.nameBegin = begin + 1;
            p.nameEnd = close;
            while (p.nameBegin < p.nameEnd && isBlank(file[p.nameBegin]))
                ++p.nameBegin;
            while (p.nameEnd > p.nameBegin && isBlank(file[p.nameEnd - 1]))
                --p.nameEnd;
            return p;
        }
    }
    // "=" (0x3D) is never part of a double-byte character either.
    const qsizetype equals = file.sliced(begin, end - begin).indexOf('=');
    if (equals <= 0) // no "=", or a line "=value" without a name
        return p;
    p.kind = Kind::Key;
    p.equals = begin + equals;
    p.nameBegin = begin;
    p.nameEnd = p.equals;
    while (p.nameEnd > p.nameBegin && isBlank(file[p.nameEnd - 1]))
        --p.nameEnd;
    p.valueBegin = p.equals + 1;
    while (p.valueBegin < end && isBlank(file[p.valueBegin]))
        ++p.valueBegin;
    p.valueEnd = end;
    if (p.nameBegin == p.nameEnd)
        p.kind = Kind::Other;
    return p;
}

// The name as reading it back from the file's code gives it.
QString canonicalName(QStringView name, TextCode code)
{
    if (code != TextCode::Cp932)
        return name.toString();
    bool ok = false;
    const QByteArray bytes = encodeCp932(name, &ok);
    return ok ? decodeCp932(bytes) : name.toString();
}

bool nameMatches(QByteArrayView file, const Parsed &p, QStringView wanted, TextCode code)
{
    const QByteArrayView bytes = file.sliced(p.nameBegin, p.nameEnd - p.nameBegin);
    return decode(bytes, code).compare(wanted, Qt::CaseInsensitive) == 0;
}

struct Location
{
    bool sectionFound = false;
    Line anchor; // the section's last entry: a key or a bare line (at first its header)
    bool keyFound = false;
    Line keyLine;
    Parsed key;
};

// Hands visit(line, parsed) the lines of the first section named section (a name as
// canonicalName gives it), its header first, until visit returns false or the next section
// begins, so a huge file beyond the section costs nothing. False when there is no such section.
template<class Visit>
bool walkSection(QByteArrayView file, Encoding encoding, const QString &section, Visit visit)
{
    bool inside = false;
    for (qsizetype at = encoding.bodyStart; at < file.size();) {
        const Line line = lineAt(file, at);
        at = line.next;
        const Parsed p = parse(file, line, encoding.code);
        if (p.kind == Kind::Section) {
            if (inside)
                break;
            inside = nameMatches(file, p, section, encoding.code);
        }
        if (inside && !visit(line, p))
            break;
    }
    return inside;
}

// Finds the first section named section and in it the first key named key.
Location locate(QByteArrayView file, Encoding encoding, QStringView wantedSection,
                QStringView wantedKey)
{
    // A name is looked for as it comes back from the file's code: the alternative forms (〜 for
    // ～ and the like) are written under the code they stand for, which reads back as the
    // Windows form, so a name holding one must be compared in that form.
    const QString key = canonicalName(wantedKey, encoding.code);
    Location loc;
    loc.sectionFound =
        walkSection(file, encoding, canonicalName(wantedSection, encoding.code),
                    [&](const Line &line, const Parsed &p) {
                        // Comments after the last entry stay below a new key, as blank lines do.
                        if (p.kind != Kind::Blank && p.kind != Kind::Comment)
                            loc.anchor = line;
                        if (p.kind != Kind::Key || !nameMatches(file, p, key, encoding.code))
                            return true;
                        loc.keyFound = true;
                        loc.keyLine = line;
                        loc.key = p;
                        return false;
                    });
    return loc;
}

bool hasLineBreakOrNul(QStringView text)
{
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return true;
    }
    return false;
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

// The reader drops blanks at the edges and one pair of enclosing quotes; a value that would
// lose either goes in double quotes, which the reader then drops instead.
QByteArray quotedIfNeeded(const QByteArray &value)
{
    if (value.isEmpty())
        return value;
    const bool blankEdge = isBlank(value.front()) || isBlank(value.back());
    const bool enclosed =
        value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
    return blankEdge || enclosed ? '"' + value + '"' : value;
}

// A key line's value as the reader gives it: one pair of enclosing quotes dropped, ending at a
// NUL byte and cut at a character boundary to kMaxProfileValueBytes.
QString valueOf(QByteArrayView file, const Parsed &key, TextCode code)
{
    qsizetype begin = key.valueBegin;
    qsizetype end = key.valueEnd;
    if (end - begin >= 2 && isQuote(file[begin]) && file[end - 1] == file[begin]) {
        ++begin;
        --end;
    }
    const qsizetype nul = file.sliced(begin, end - begin).indexOf('\0');
    if (nul >= 0)
        end = begin + nul;
    // Never half a character: stop before one that would pass the limit.
    if (end - begin > kMaxProfileValueBytes) {
        qsizetype cut = begin;
        while (cut < end) {
            const qsizetype width = charWidth(file, cut, end, code);
            if (cut + width - begin > kMaxProfileValueBytes)
                break;
            cut += width;
        }
        end = cut;
    }
    return decode(file.sliced(begin, end - begin), code);
}

} // namespace

std::optional<QString> profileValue(QByteArrayView file, QStringView section, QStringView key)
{
    const Encoding encoding = encodingOf(file);
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (encoding.code == TextCode::Unsupported || section.isEmpty() || key.isEmpty())
        return std::nullopt;
    const Location loc = locate(file, encoding, section, key);
    if (!loc.keyFound)
        return std::nullopt;
    return valueOf(file, loc.key, encoding.code);
}

QList<std::optional<QString>> profileValues(QByteArrayView file, QStringView wantedSection,
                                            const QStringList &keys)
{
    QList<std::optional<QString>> values(keys.size());
    const Encoding encoding = encodingOf(file);
    const QStringView trimmed = trimBlanks(wantedSection);
    if (encoding.code == TextCode::Unsupported || trimmed.isEmpty())
        return values;
    // Each wanted name, as it reads back from the file and folded, to where its value goes.
    QMultiHash<QString, qsizetype> wanted;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QStringView key = trimBlanks(keys[i]);
        if (!key.isEmpty())
            wanted.insert(canonicalName(key, encoding.code).toCaseFolded(), i);
    }
    walkSection(file, encoding, canonicalName(trimmed, encoding.code),
                [&](const Line &, const Parsed &p) {
                    if (p.kind != Kind::Key)
                        return true;
                    const QString name =
                        decode(file.sliced(p.nameBegin, p.nameEnd - p.nameBegin), encoding.code)
                            .toCaseFolded();
                    // The first key of a name wins; every place that asked for it gets its value.
                    if (wanted.contains(name)) {
                        const QString value = valueOf(file, p, encoding.code);
                        for (qsizetype i : wanted.values(name))
                            values[i] = value;
                        wanted.remove(name);
                    }
                    return !wanted.isEmpty();
                });
    return values;
}

int profileInteger(QStringView value)
{
    // The leading decimal digits, and nothing else: a sign or a blank (left inside quotes) is not
    // a digit, so such a value reads 0. Held at the top of the range rather than wrapped:
    // "4294967297" is not 1.
    const qint64 limit = std::numeric_limits<int>::max();
    qint64 number = 0;
    for (qsizetype i = 0; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i)
        number = std::min(limit, number * 10 + (value[i].unicode() - u'0'));
    return static_cast<int>(number);
}

std::optional<QByteArray> withProfileValue(QByteArrayView file, QStringView section,
                                           QStringView key, QStringView value)
{
    const Encoding encoding = encodingOf(file);
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (encoding.code == TextCode::Unsupported || section.isEmpty() || key.isEmpty() ||
        hasLineBreakOrNul(section) || hasLineBreakOrNul(key) || hasLineBreakOrNul(value) ||
        key.contains(u'=') || key.startsWith(u'[') || key.startsWith(u';'))
        return std::nullopt;
    const std::optional<QByteArray> sectionBytes = encode(section, encoding.code);
    const std::optional<QByteArray> keyBytes = encode(key, encoding.code);
    const std::optional<QByteArray> valueBytes = encode(value, encoding.code);
    if (!sectionBytes || !keyBytes || !valueBytes)
        return std::nullopt;
    const QByteArray stored = quotedIfNeeded(*valueBytes);

    const Location loc = locate(file, encoding, section, key);
    QByteArray out;
    out.reserve(file.size() + section.size() * 2 + key.size() * 2 + stored.size() + 16);
    if (loc.keyFound) {
        // The name as the file spells it and the blanks around "=" stay; the old value and the
        // blanks after it go.
        const qsizetype keep = stored.isEmpty() ? loc.key.equals + 1 : loc.key.valueBegin;
        out.append(file.first(keep));
        out.append(stored);
        out.append(file.sliced(loc.keyLine.end));
        return out;
    }

    const QByteArray lineBreak = lineBreakOf(file, encoding.bodyStart);
    const QByteArray keyLine = *keyBytes + '=' + stored + lineBreak;
    if (loc.sectionFound) {
        // After the section's last entry, so blank lines that part it from the next section
        // stay where they are.
        out.append(file.first(loc.anchor.next));
        if (loc.anchor.next == loc.anchor.end)
            out.append(lineBreak);
        out.append(keyLine);
        out.append(file.sliced(loc.anchor.next));
        return out;
    }

    out.append(file);
    // Right after the last line, with no blank line before it, as the Windows writer does.
    if (file.size() > encoding.bodyStart) {
        const char last = file.back();
        if (last != '\n' && last != '\r')
            out.append(lineBreak);
    }
    out.append('[' + *sectionBytes + ']' + lineBreak);
    out.append(keyLine);
    return out;
}

} // namespace scrivlet::files
