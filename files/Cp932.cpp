#include "files/Cp932.h"

#include "unkanj/AlternativeForms.h"

#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace scrivlet {

namespace {

constexpr const char *kUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// One descriptor per direction and thread: opening one loads the table each time, and a
// descriptor carries state, so threads must not share it.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(::iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != kNoConverter)
            ::iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

iconv_t decoder()
{
    thread_local const Converter converter(kUtf16, "CP932");
    return converter.get();
}

iconv_t encoder()
{
    thread_local const Converter converter("CP932", kUtf16);
    return converter.get();
}

// Characters that glibc encodes although the bytes do not give them back as themselves or as
// their Windows twin: the yen sign and overline would come back as the backslash and tilde of
// ASCII, the tag characters would vanish. Returns how many units such a character at i takes,
// or 0.
qsizetype refusedAt(QStringView text, qsizetype i)
{
    const char16_t unit = text.utf16()[i];
    if (unit == 0x00A5 || unit == 0x203E)
        return 1;
    if (unit == 0xDB40 && i + 1 < text.size()) {
        const char16_t low = text.utf16()[i + 1];
        if (low >= 0xDC00 && low <= 0xDC7F)
            return 2;
    }
    return 0;
}

} // namespace

namespace {

QString decode(QByteArrayView bytes, bool *ok, bool keepFaultyBytes)
{
    const iconv_t cd = decoder();
    if (cd == kNoConverter) {
        if (ok)
            *ok = bytes.isEmpty();
        return {};
    }
    bool clean = true;
    // Every byte gives at most one UTF-16 unit: a double-byte character gives one, a single
    // byte or a faulty one gives one.
    QString out(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *const outBegin = reinterpret_cast<char *>(out.data());
    char *outPtr = outBegin;
    size_t outLeft = static_cast<size_t>(out.size()) * 2;
    if (inLeft > 0)
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL) {
            clean = false;
            break;
        }
        // Only the byte in front is dropped: the byte after a stray lead byte may well begin
        // the next character.
        const char16_t replacement =
            keepFaultyBytes ? char16_t(0xDC00 + static_cast<uchar>(*in)) : char16_t(0xFFFD);
        std::memcpy(outPtr, &replacement, 2);
        outPtr += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        clean = false;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate((outPtr - outBegin) / 2);
    if (ok)
        *ok = clean;
    return out;
}

} // namespace

QString decodeCp932(QByteArrayView bytes, bool *ok)
{
    return decode(bytes, ok, false);
}

QString decodeCp932KeepingFaultyBytes(QByteArrayView bytes)
{
    return decode(bytes, nullptr, true);
}

QByteArray encodeCp932(QStringView text, bool *ok)
{
    const iconv_t cd = encoder();
    if (cd == kNoConverter) {
        if (ok)
            *ok = text.isEmpty();
        return {};
    }
    bool clean = true;
    // At most two bytes per unit.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char *const outBegin = out.data();
    char *outPtr = outBegin;
    size_t outLeft = static_cast<size_t>(out.size());
    const auto substitute = [&] {
        *outPtr++ = '?';
        --outLeft;
        clean = false;
    };

    // The alternative forms take their code from the table the converter is built from too,
    // whatever this iconv's table says of them.
    const auto alternativeAt = [&](qsizetype at) {
        return unkanj::alternativeForm(text.utf16()[at]);
    };
    qsizetype i = 0;
    while (i < text.size()) {
        // The run up to the next refused character or alternative form goes through iconv in
        // one piece.
        qsizetype end = i;
        while (end < text.size() && refusedAt(text, end) == 0 && !alternativeAt(end))
            ++end;
        char *in = reinterpret_cast<char *>(const_cast<char16_t *>(text.utf16() + i));
        size_t inLeft = static_cast<size_t>(end - i) * 2;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (::iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
                break;
            if (errno != EILSEQ && errno != EINVAL) {
                clean = false;
                inLeft = 0;
                break;
            }
            // No code for the character in front, or a surrogate without its partner.
            const auto *unit = reinterpret_cast<const char16_t *>(in);
            size_t taken = 2;
            if (QChar::isHighSurrogate(unit[0]) && inLeft >= 4 && QChar::isLowSurrogate(unit[1]))
                taken = 4;
            substitute();
            in += taken;
            inLeft -= taken;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
        i = end;
        if (i >= text.size())
            break;
        if (const unkanj::AlternativeForm *form = alternativeAt(i)) {
            *outPtr++ = static_cast<char>(form->lead);
            *outPtr++ = static_cast<char>(form->trail);
            outLeft -= 2;
            ++i;
        } else {
            const qsizetype width = refusedAt(text, i);
            substitute();
            i += width;
        }
    }
    out.truncate(outPtr - outBegin);
    if (ok)
        *ok = clean;
    return out;
}

} // namespace scrivlet
