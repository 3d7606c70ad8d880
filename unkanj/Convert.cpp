#include "Convert.h"

#include "Codecs.h"
#include "Detect.h"

#include <optional>

namespace scrivlet::unkanj {

namespace {

// An encoder that also counts what detection counts: faults and unassigned codes.
template<class Encoder>
class CountingEncoder : public Encoder
{
public:
    using Encoder::Encoder;

    void dbcs(unsigned row, unsigned cell)
    {
        if (!isAssigned(row, cell))
            ++m_errors;
        Encoder::dbcs(row, cell);
    }
    void fault(const detail::Byte *p, std::size_t n)
    {
        ++m_errors;
        Encoder::fault(p, n);
    }
    std::size_t errors() const { return m_errors; }

private:
    std::size_t m_errors = 0;
};

template<class Encoder>
std::string run(std::string_view text, KanjiCode from, const OutputFormat &to, std::size_t *errors)
{
    // Room for the common case (same size, a few escapes); references and kana grow it.
    detail::Output out(text.size() + text.size() / 8);
    const auto encode = [&](auto &&encoder) {
        if constexpr (requires { encoder.setSource(from); })
            encoder.setSource(from);
        detail::decode(from, text, encoder);
        encoder.finish();
    };
    if (errors == nullptr) {
        encode(Encoder(out, to.lineEnd, to.references));
    } else {
        CountingEncoder<Encoder> encoder(out, to.lineEnd, to.references);
        encode(encoder);
        *errors = encoder.errors();
    }
    return out.take();
}

std::string convert(std::string_view text, KanjiCode from, const OutputFormat &to,
                    std::size_t *errors)
{
    switch (to.code) {
    case KanjiCode::Jis:
        return run<detail::JisEncoder>(text, from, to, errors);
    case KanjiCode::Euc:
        return run<detail::EucEncoder>(text, from, to, errors);
    case KanjiCode::Utf8:
        return run<detail::Utf8Encoder>(text, from, to, errors);
    default:
        return run<detail::ShiftJisEncoder>(text, from, to, errors);
    }
}

} // namespace

std::string convertText(std::string_view text, KanjiCode from, const OutputFormat &to,
                        std::size_t *errors)
{
    return convert(text, from, to, errors);
}

bool hasUtf16Mark(std::string_view text)
{
    return text.size() >= 2 &&
           ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'));
}

std::string utf16ToUtf8(std::string_view text)
{
    const bool littleEndian = text[0] == '\xFF';
    const auto unitAt = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(text[i + 1]);
        return littleEndian ? char32_t(a | b << 8) : char32_t(a << 8 | b);
    };
    std::string out = "\xEF\xBB\xBF";
    out.reserve(text.size() * 3 / 2 + 3);
    const auto put = [&out](char32_t c) {
        detail::Byte bytes[4];
        out.append(reinterpret_cast<const char *>(bytes), detail::putUtf8(c, bytes));
    };
    std::size_t i = 2;
    for (; i + 1 < text.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < text.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                put(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit < 0xE000)
            out += '\xFF';
        else
            put(unit);
    }
    if (i < text.size())
        out += '\xFF';
    return out;
}

std::string convertDetected(std::string_view text, const OutputFormat &to, Detection &detected)
{
    std::string output;
    std::optional<KanjiCode> convertedFrom;
    detected = detectCode(text, [&](KanjiCode code) {
        std::size_t errors = 0;
        output = convert(text, code, to, &errors);
        convertedFrom = code;
        return errors;
    });
    if (convertedFrom != detected.code || detected.markIgnored) {
        output = std::string(); // not two large outputs at once
        output = convert(text.substr(detected.markIgnored ? 3 : 0), detected.code, to, nullptr);
    }
    return output;
}

} // namespace scrivlet::unkanj
