#pragma once
// Conversions that act on markup: the letter case of tag names, and the line-oriented
// insertion and removal of <BR> and <LI> tags.

#include <QString>

namespace scrivlet::html {

QString tagNamesToLower(const QString &text);
QString tagNamesToUpper(const QString &text);

QString addBrAtLineEnds(const QString &text);
QString brToLineBreaks(const QString &text);
QString wrapLinesInLi(const QString &text);

} // namespace scrivlet::html
