// Converting a whole text in memory from its code to an output code.
#pragma once

#include "KanjiCode.h"

#include <string>
#include <string_view>

namespace scrivlet::unkanj {

struct OutputFormat
{
    KanjiCode code = KanjiCode::ShiftJis; // ShiftJis, Jis, Euc or Utf8
    LineEnd lineEnd = LineEnd::CrLf;
    ReferenceStyle references = ReferenceStyle::Html;
};

// Converts text, which is in the code `from`, to the output format. Every output code carries
// the CP932 repertoire (anything else becomes a reference), UTF-8 every character. Faulty bytes
// pass on unchanged into Shift-JIS and become 〓 in the other codes. With `errors`, also counts
// the faults and unassigned codes met, as detection counts them.
std::string convertText(std::string_view text, KanjiCode from, const OutputFormat &to,
                        std::size_t *errors = nullptr);

// Whether the text begins with a UTF-16 byte-order mark, in either byte order.
bool hasUtf16Mark(std::string_view text);

// A text in UTF-16 after its byte-order mark, as UTF-8 behind a UTF-8 mark, which detection
// reads as UTF-8. An unpaired surrogate or an odd last byte becomes 0xFF, which no UTF-8 holds:
// a fault, counted and marked as any other.
std::string utf16ToUtf8(std::string_view text);

struct Detection;

// Tells the text's code and converts it, usually in a single pass: the likely code, from the
// text's start, is converted while its errors are counted; the text is converted again only
// when another code turns out to read it better.
std::string convertDetected(std::string_view text, const OutputFormat &to, Detection &detected);

} // namespace scrivlet::unkanj
