#pragma once
// The conversion types that the Edit menu hands to clsRTF::Conv, numbered as the menus pass them.

#include <QString>

#include <functional>

namespace scrivlet {

enum class ConvType : int {
    LowerCase = 0,
    UpperCase = 1,
    HalfWidth = 2,
    FullWidth = 3,
    HalfKanaToFull = 4,
    KatakanaToHiragana = 5,
    HiraganaToKatakana = 6,
    EscapeAngleBrackets = 7,
    UnescapeAngleBrackets = 8,
    EscapeAmpersand = 9,
    UnescapeAmpersand = 10,
    SpaceToNbsp = 11,
    NbspToSpace = 12,
    TagNameLower = 13,
    TagNameUpper = 14,
    AddBrAtLineEnd = 19,
    BrToLineBreak = 20,
    WrapLinesInLi = 21,
};

// The conversions of markup, which must know whether the converted range starts inside a tag,
// a comment or a script, and what follows it.
constexpr bool readsAroundTheRange(ConvType type)
{
    return type >= ConvType::TagNameLower;
}

// Where the converted text lies: document holds it at begin. An empty document means the text
// is the whole document.
struct ConvContext
{
    QStringView document;
    qsizetype begin = 0;
};

// A pure conversion of a text by type. The editor document receives it from its owner rather
// than calling the HTML library itself, so that editor/ does not depend on html/, which in turn
// builds on the editor's character tables and edit-control interface.
using StringConverter =
    std::function<QString(const QString &text, ConvType type, ConvContext around)>;

} // namespace scrivlet
