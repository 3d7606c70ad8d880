#pragma once
// The markup of a page as a browser reads it, piece by piece: the one reading that the save (which
// escapes script and style code in their own languages), the markup conversions and the
// completion list share.

#include <QStringView>

#include <optional>

namespace scrivlet::files {

// A piece of markup: a tag, a comment or processing instruction (<?php ... ?>), or the contents
// of a script, a style, a text area or the like, whose "<" (i<max) starts no tag.
struct Markup
{
    enum Kind { Tag, Comment, Code } kind;
    qsizetype begin;
    qsizetype end;         // after its last character; the text's end when it is left open
    qsizetype nameEnd = 0; // of a tag: where its name stops
    bool closed = true;
    // A tag whose quoted value is left open: it ends at its first ">", if any, and a longer text
    // may close the value and end the tag elsewhere.
    bool guessed = false;
};

// The markup of a text from its start. A tag begins where a browser begins one: a "<" before an
// ASCII letter, "/" and a letter, "!" or "?"; any other "<" is text, as in (>_<) or 価格 < 1000円,
// and "</" before anything but a letter is a piece of its own up to the first ">". A tag runs to
// the next ">" outside its attributes' values, and its name runs up to the first blank or line
// break. A tag, comment or script left open runs to the end: a ">" written after it would close
// it.
class MarkupScanner
{
public:
    explicit MarkupScanner(QStringView text) : m_text(text) {}

    std::optional<Markup> next();
    // Whether the scan stands in the page's text, and not in a script or the like whose
    // contents come next.
    bool inText() const { return !m_code; }

private:
    Markup comment(qsizetype open);
    Markup until(Markup::Kind kind, qsizetype begin, qsizetype closer, qsizetype length);
    qsizetype closingTag(QStringView raw, qsizetype from) const;

    QStringView m_text;
    qsizetype m_from = 0;
    std::optional<Markup> m_code;
};

// The value of the attribute named lowerName (compared in ASCII letters without case) of the
// start tag tag, read as the scanner reads tags: empty for an attribute without one, none for a
// tag without the attribute. The first of two counts, as for a browser.
std::optional<QStringView> attributeValue(QStringView tag, QStringView lowerName);

} // namespace scrivlet::files
