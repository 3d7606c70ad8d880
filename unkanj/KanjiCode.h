// The codes, line ends and reference styles the converter knows.
#pragma once

namespace scrivlet::unkanj {

// The code a text is in. A source may be in any of them; the output is ShiftJis, Jis, Euc or
// Utf8.
// Ascii is a source without any byte above 0x7F and without JIS escapes.
enum class KanjiCode { Ascii, ShiftJis, Jis, Euc, Utf8 };

enum class LineEnd { CrLf, Cr, Lf };

// How a character the output code cannot hold is written: "&#x1F600;", in a style sheet
// "\1F600 ", in a script "\uD83D\uDE00".
enum class ReferenceStyle { Html, Css, Script };

constexpr const char *codeName(KanjiCode code)
{
    switch (code) {
    case KanjiCode::Ascii:
        return "ASCII";
    case KanjiCode::ShiftJis:
        return "Shift_JIS";
    case KanjiCode::Jis:
        return "ISO-2022-JP";
    case KanjiCode::Euc:
        return "EUC-JP";
    case KanjiCode::Utf8:
        return "UTF-8";
    }
    return "?";
}

constexpr const char *lineEndName(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::CrLf:
        return "CR LF";
    case LineEnd::Cr:
        return "CR";
    case LineEnd::Lf:
        return "LF";
    }
    return "?";
}

} // namespace scrivlet::unkanj
