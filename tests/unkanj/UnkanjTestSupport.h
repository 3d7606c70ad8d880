// Helpers of the converter's tests: glibc iconv as the independent reference, data rows,
// temporary folders. Failures print byte strings with escapes, so they compare as std::string.
#pragma once

#include "../common/DataRows.h"
#include "../common/TempFiles.h"
#include "Convert.h"
#include "Detect.h"

#include <iconv.h>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet::unkanj::test {

using namespace scrivlet::test;

using enum KanjiCode;

// glibc iconv over a whole text; nothing when it rejects the input. glibc's CP932 is
// Microsoft's table.
inline std::optional<std::string> iconvConvert(const char *from, const char *to,
                                               std::string_view text)
{
    iconv_t cd = iconv_open(to, from);
    std::string out(text.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(text.data());
    std::size_t inLeft = text.size();
    char *o = out.data();
    std::size_t outLeft = out.size();
    const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &o, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return ok ? std::optional(out) : std::nullopt;
}

// Converts text from a known code (detection is tested on its own).
inline std::string convertFrom(std::string_view text, KanjiCode from, KanjiCode to,
                               LineEnd lineEnd = LineEnd::Lf,
                               ReferenceStyle refs = ReferenceStyle::Html)
{
    return convertText(text, from, OutputFormat{to, lineEnd, refs});
}

// The first breach of our ISO-2022-JP output rules, or an empty string: seven bits; only
// ESC $ B, ESC ( I and ESC ( B, never the escape of the set in use; kanji in pairs of
// 0x21-0x7E, katakana 0x21-0x5F; ASCII before every control and at the end.
inline std::string jisBreach(std::string_view jis)
{
    std::string_view set = "\x1B(B";
    for (std::size_t i = 0; i < jis.size(); ++i) {
        const auto c = static_cast<unsigned char>(jis[i]);
        const std::string at = " at byte " + std::to_string(i);
        const std::string_view escape = jis.substr(i, 3);
        if (c >= 0x80)
            return "eight-bit byte" + at;
        if (c == 0x1B && escape != "\x1B$B" && escape != "\x1B(I" && escape != "\x1B(B")
            return "escape other than ESC $ B, ESC ( I, ESC ( B" + at;
        if (c == 0x1B && escape == set)
            return "escape repeats the set in use" + at;
        if (c == 0x1B) {
            set = escape;
            i += 2;
        } else if (set != "\x1B(B" && (c < 0x21 || c > 0x7E)) {
            return "control character outside ASCII" + at;
        } else if (set == "\x1B(I" && c > 0x5F) {
            return "katakana out of range" + at;
        } else if (set == "\x1B$B" && (++i == jis.size() || jis[i] < 0x21 || jis[i] > 0x7E)) {
            return "half a kanji" + at;
        }
    }
    return set == "\x1B(B" ? "" : "text ends outside ASCII";
}

// The rows of a table under tests/data/unkanj.
inline std::vector<DataRow> rows(const std::string &file, std::size_t width)
{
    return readDataRows(UNKANJ_TEST_DATA "/" + file, width);
}

// A code or line end by the name codeName or lineEndName gives it, as the tables spell it.
template<typename T>
T named(const std::string &name, std::initializer_list<T> all, const char *(*nameOf)(T))
{
    for (T each : all)
        if (name == nameOf(each))
            return each;
    throw std::runtime_error("unknown name " + name);
}
inline KanjiCode codeNamed(const std::string &name)
{
    return named(name, {Ascii, ShiftJis, Euc, Jis, Utf8}, codeName);
}
inline LineEnd lineEndNamed(const std::string &name)
{
    return named(name, {LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf}, lineEndName);
}

} // namespace scrivlet::unkanj::test
