// Characters that CP932 lacks but that stand for one of its codes: the forms a JIS-style
// mapping of Shift-JIS gives (and so the ones a page written with such a mapping holds) where
// Windows has its own. The program's CP932 codec and the converter's UTF-8 reader are both built
// from this one table, so that a page reads the same through either.
#pragma once

#include <cstdint>

namespace scrivlet::unkanj {

struct AlternativeForm
{
    char32_t codePoint;
    std::uint8_t lead; // the CP932 code, as Shift-JIS bytes
    std::uint8_t trail;
};

inline constexpr AlternativeForm kAlternativeForms[] = {
    {0x301C, 0x81, 0x60}, // WAVE DASH, for CP932's FULLWIDTH TILDE
    {0x2016, 0x81, 0x61}, // DOUBLE VERTICAL LINE, for PARALLEL TO
    {0x2212, 0x81, 0x7C}, // MINUS SIGN, for FULLWIDTH HYPHEN-MINUS
    {0x00A2, 0x81, 0x91}, // CENT SIGN, for FULLWIDTH CENT SIGN
    {0x00A3, 0x81, 0x92}, // POUND SIGN, for FULLWIDTH POUND SIGN
    {0x00AC, 0x81, 0xCA}, // NOT SIGN, for FULLWIDTH NOT SIGN
    {0x2014, 0x81, 0x5C}, // EM DASH, for HORIZONTAL BAR
};

// The entry for a code point, or nullptr.
constexpr const AlternativeForm *alternativeForm(char32_t codePoint)
{
    for (const AlternativeForm &form : kAlternativeForms) {
        if (form.codePoint == codePoint)
            return &form;
    }
    return nullptr;
}

} // namespace scrivlet::unkanj
