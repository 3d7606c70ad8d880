#include "KanjiTables.h"

#include "AlternativeForms.h"

#include <memory>

namespace scrivlet::unkanj {

namespace {

// Rows in the order a character's code is chosen when CP932 holds it more than once.
enum class RowGroup { JisProper, Nec13, Ibm, NecSelected, User };

RowGroup groupOf(unsigned row)
{
    if (row == 13)
        return RowGroup::Nec13;
    if (row >= 89 && row <= 92)
        return RowGroup::NecSelected;
    if (row >= kFirstIbmRow)
        return RowGroup::Ibm;
    if (row >= kFirstUserRow)
        return RowGroup::User;
    return RowGroup::JisProper;
}

char32_t codePointOf(unsigned row, unsigned cell)
{
    if (groupOf(row) == RowGroup::User)
        return kFirstUserCodePoint + (row - kFirstUserRow) * 94 + (cell - 1);
    return kCp932ToUnicode[row - 1][cell - 1];
}

// Fills table[code point] with the first code met while walking the groups in the given order.
template<std::size_t N>
void fillInOrder(PackedCode *table, const RowGroup (&order)[N])
{
    for (RowGroup group : order) {
        for (unsigned row = 1; row <= kLastRow; ++row) {
            if (groupOf(row) != group)
                continue;
            for (unsigned cell = 1; cell <= 94; ++cell) {
                char32_t cp = codePointOf(row, cell);
                if (cp != 0 && table[cp] == 0)
                    table[cp] = static_cast<PackedCode>(row << 8 | cell);
            }
        }
    }
}

std::unique_ptr<DerivedTables> build()
{
    auto tables = std::make_unique<DerivedTables>();
    PackedCode *fromUnicode = tables->fromUnicode;
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        fromUnicode[0xFF61 + (b - 0xA1)] = static_cast<PackedCode>(b);
    const RowGroup windowsOrder[] = {RowGroup::JisProper, RowGroup::Nec13, RowGroup::Ibm,
                                     RowGroup::NecSelected, RowGroup::User};
    fillInOrder(fromUnicode, windowsOrder);
    // Code points CP932 lacks that stand for one of its codes (all in rows 1-2).
    for (const AlternativeForm &form : kAlternativeForms) {
        const bool evenRow = form.trail >= 0x9F;
        const unsigned row = 2 * (form.lead - 0x81u) + (evenRow ? 2 : 1);
        const unsigned cell =
            evenRow ? form.trail - 0x9Eu : form.trail - 0x3Fu - (form.trail >= 0x80 ? 1 : 0);
        if (fromUnicode[form.codePoint] == 0)
            fromUnicode[form.codePoint] = static_cast<PackedCode>(row << 8 | cell);
    }

    auto jisOnly = std::make_unique<PackedCode[]>(0x10000);
    const RowGroup twinOrder[] = {RowGroup::JisProper, RowGroup::Nec13, RowGroup::NecSelected};
    fillInOrder(jisOnly.get(), twinOrder);
    for (unsigned row = kFirstIbmRow; row <= kLastRow; ++row) {
        for (unsigned cell = 1; cell <= 94; ++cell) {
            char32_t cp = kCp932ToUnicode[row - 1][cell - 1];
            tables->ibmTwin[row - kFirstIbmRow][cell - 1] = cp != 0 ? jisOnly[cp] : 0;
        }
    }
    return tables;
}

} // namespace

const DerivedTables &derivedTables()
{
    static const std::unique_ptr<DerivedTables> tables = build();
    return *tables;
}

} // namespace scrivlet::unkanj
