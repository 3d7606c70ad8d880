#include "html/ConvString.h"

#include "html/CharacterConversion.h"
#include "html/ReferenceConversion.h"
#include "html/TagConversion.h"

namespace scrivlet::html {

QString ConvString(const QString &text, ConvType type, ConvContext around)
{
    switch (type) {
    case ConvType::LowerCase:
        return toLowerLetters(text);
    case ConvType::UpperCase:
        return toUpperLetters(text);
    case ConvType::HalfWidth:
        return toHalfWidth(text);
    case ConvType::FullWidth:
        return toFullWidth(text);
    case ConvType::HalfKanaToFull:
        return halfKanaToFullWidth(text);
    case ConvType::KatakanaToHiragana:
        return katakanaToHiragana(text);
    case ConvType::HiraganaToKatakana:
        return hiraganaToKatakana(text);
    case ConvType::EscapeAngleBrackets:
        return escapeAngleBrackets(text);
    case ConvType::UnescapeAngleBrackets:
        return unescapeAngleBrackets(text);
    case ConvType::EscapeAmpersand:
        return escapeAmpersands(text);
    case ConvType::UnescapeAmpersand:
        return unescapeAmpersands(text);
    case ConvType::SpaceToNbsp:
        return spacesToNbsp(text);
    case ConvType::NbspToSpace:
        return nbspToSpaces(text);
    case ConvType::TagNameLower:
        return tagNamesToLower(text, around);
    case ConvType::TagNameUpper:
        return tagNamesToUpper(text, around);
    case ConvType::AddBrAtLineEnd:
        return addBrAtLineEnds(text, around);
    case ConvType::BrToLineBreak:
        return brToLineBreaks(text, around);
    case ConvType::WrapLinesInLi:
        return wrapLinesInLi(text, around);
    }
    return text;
}

} // namespace scrivlet::html
