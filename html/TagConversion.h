#pragma once
// Conversions that act on markup: the letter case of tag names, and the line-oriented
// insertion and removal of <BR> and <LI> tags.

#include "editor/ConvType.h"

#include <QString>

namespace scrivlet::html {

// Each converts text, which lies in the document as around says. What counts as markup (a tag,
// a comment, the code of a script) is read from the whole document, so a range that starts
// inside a script or a tag's value is no tag to them either.
QString tagNamesToLower(const QString &text, ConvContext around = {});
QString tagNamesToUpper(const QString &text, ConvContext around = {});

QString addBrAtLineEnds(const QString &text, ConvContext around = {});
QString brToLineBreaks(const QString &text, ConvContext around = {});
QString wrapLinesInLi(const QString &text, ConvContext around = {});

} // namespace scrivlet::html
