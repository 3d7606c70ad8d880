#pragma once
// Conversions between the characters "<", ">", "&", the space and their character references.

#include <QString>

namespace scrivlet::html {

QString escapeAngleBrackets(const QString &text);
QString unescapeAngleBrackets(const QString &text);
QString escapeAmpersands(const QString &text);
QString unescapeAmpersands(const QString &text);
QString spacesToNbsp(const QString &text);
QString nbspToSpaces(const QString &text);

} // namespace scrivlet::html
