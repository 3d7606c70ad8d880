#pragma once
// How a browser reads a tag's name and a comment's end, shared by every reader of a page's
// markup: the save that escapes script and style code, the markup conversions and the completion
// list.

#include <QStringView>

namespace scrivlet::files {

// The blanks of markup: what separates a tag's name and attributes. Other spaces (U+3000) are
// letters to a browser.
inline bool isHtmlBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Whether c is an ASCII letter, the only letters that start a tag's name.
inline bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Whether c is the ASCII letter lower or its upper case.
inline bool matchesAsciiLetter(QChar c, char16_t lower)
{
    return c == QChar(lower) || c == QChar(char16_t(lower - 0x20));
}

// Compares with an ASCII pattern written in lower case, ignoring the case of ASCII letters only,
// as a browser compares tag names (Unicode case folding would also let the Kelvin sign stand for
// a "k", or "ſ" for an "s").
inline bool equalsAsciiIgnoringCase(QStringView s, QStringView lowerPattern)
{
    if (s.size() != lowerPattern.size())
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t p = lowerPattern[i].unicode();
        if (p >= u'a' && p <= u'z' ? !matchesAsciiLetter(s[i], p) : s[i] != lowerPattern[i])
            return false;
    }
    return true;
}

// What ends a tag's name: a blank, "/" or ">".
inline bool endsTagName(QChar c)
{
    return isHtmlBlank(c) || c == u'/' || c == u'>';
}

// Whether rest starts with the tag name lowerName, the whole of it: <scripts> and </styles> name
// other elements. The end of the text ends a name too.
inline bool startsWithTagName(QStringView rest, QStringView lowerName)
{
    return rest.size() >= lowerName.size() &&
           equalsAsciiIgnoringCase(rest.first(lowerName.size()), lowerName) &&
           (rest.size() == lowerName.size() || endsTagName(rest[lowerName.size()]));
}

// Where a comment whose body starts at from ends, as a browser ends it: at its first "-->" or
// "--!>", whose length goes to length; -1 when it never ends. Looks no further than the end: a
// search for each closer to the end of the page, at every comment, took minutes on large pages.
inline qsizetype commentEnd(QStringView text, qsizetype from, qsizetype &length)
{
    for (qsizetype at = text.indexOf(u"--", from); at >= 0; at = text.indexOf(u"--", at + 1)) {
        const QStringView after = text.sliced(at + 2);
        if (after.startsWith(u'>') || after.startsWith(u"!>")) {
            length = after.startsWith(u'>') ? 3 : 4;
            return at;
        }
    }
    return -1;
}

} // namespace scrivlet::files
