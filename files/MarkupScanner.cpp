#include "files/MarkupScanner.h"

#include "files/TagNames.h"

namespace scrivlet::files {

namespace {

// Reads the tag opening at open as a browser reads it, handing each attribute's name and value
// to attribute; returns its ">", or, when a quote is left open, simply the first ">" (guessed is
// then set); -1 when there is none. A quoted value runs to its closing quote and may hold ">" and
// "<"; an unquoted one runs to a blank or ">", and a quote in it is a letter of the value, as in
// class=it's or href=/s?q='a. An "=" opens a value only after an attribute's name: in <p =">"
// it begins a name, and the tag ends at the first ">".
template<typename Attribute>
qsizetype readTag(QStringView text, qsizetype open, bool &guessed, Attribute attribute)
{
    enum { TagName, BeforeName, Name, AfterName } state = TagName;
    qsizetype name = 0, nameEnd = 0;
    const auto valueless = [&] {
        attribute(text.sliced(name, nameEnd - name), QStringView());
    };
    // The name of a closing tag starts after its "/", which is no self-closing slash.
    const qsizetype nameStart =
        open + 1 < text.size() && text[open + 1] == u'/' ? open + 2 : open + 1;
    for (qsizetype i = nameStart; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool blank = isHtmlBlank(c);
        if (c == u'>') {
            if (state == Name || state == AfterName)
                valueless();
            return i;
        }
        switch (state) {
        case TagName:
            if (blank || c == u'/')
                state = BeforeName;
            continue;
        case Name:
            if (c == u'=')
                break; // to the value
            if (blank) {
                state = AfterName;
            } else if (c == u'/') {
                valueless();
                state = BeforeName;
            } else {
                nameEnd = i + 1;
            }
            continue;
        case AfterName:
            if (blank)
                continue;
            if (c == u'=')
                break; // to the value
            valueless();
            if (c == u'/') {
                state = BeforeName;
                continue;
            }
            [[fallthrough]]; // another attribute's name begins
        case BeforeName:
            if (!blank && c != u'/')
                state = Name, name = i, nameEnd = i + 1;
            continue;
        }
        // The value, after the blanks that may follow its "=".
        do
            ++i;
        while (i < text.size() && isHtmlBlank(text[i]));
        if (i == text.size())
            break;
        if (text[i] == u'"' || text[i] == u'\'') {
            const qsizetype closing = text.indexOf(text[i], i + 1);
            if (closing < 0) {
                guessed = true;
                return text.indexOf(u'>', i);
            }
            attribute(text.sliced(name, nameEnd - name), text.sliced(i + 1, closing - i - 1));
            i = closing;
        } else {
            const qsizetype value = i;
            while (i < text.size() && !isHtmlBlank(text[i]) && text[i] != u'>')
                ++i;
            attribute(text.sliced(name, nameEnd - name), text.sliced(value, i - value));
            if (i < text.size() && text[i] == u'>')
                return i;
        }
        state = BeforeName;
    }
    return -1;
}

qsizetype tagEnd(QStringView text, qsizetype open, bool &guessed)
{
    return readTag(text, open, guessed, [](QStringView, QStringView) {});
}

// Where the code of a script, starting at from, ends: at its closing tag, as a browser finds it;
// -1 when it has none. A comment opened in the code, the old way of hiding a script, may hold a
// whole <script>...</script> that the code writes: that closing tag is the written script's.
qsizetype scriptEnd(QStringView text, qsizetype from)
{
    bool inComment = false, inWrittenScript = false;
    for (qsizetype at = from; at < text.size(); ++at) {
        if (text[at] != u'<' && text[at] != u'-')
            continue;
        const QStringView rest = text.sliced(at);
        if (rest.startsWith(u"-->")) {
            inComment = inWrittenScript = false;
        } else if (rest.startsWith(u"<!--")) {
            inComment = true;
            ++at; // "<!-->" is a whole comment: its "-->" ends it again
        } else if (rest.startsWith(u"</") && startsWithTagName(rest.sliced(2), u"script")) {
            if (!inWrittenScript)
                return at;
            inWrittenScript = false;
        } else if (inComment && rest.startsWith(u'<') &&
                   startsWithTagName(rest.sliced(1), u"script")) {
            inWrittenScript = true;
        }
    }
    return -1;
}

// A tag begins where a browser begins one: a "<" before a letter, "/" and a letter, "!" or "?";
// "</" before anything else but the text's end begins a piece that ends at the first ">". Any
// other "<" is text, as in (>_<) or 価格 < 1000円.
bool opensMarkup(QStringView text, qsizetype open)
{
    const auto letterAt = [text](qsizetype i) {
        return i < text.size() && isAsciiLetter(text[i]);
    };
    const QStringView next = text.sliced(open + 1);
    return letterAt(open + 1) || (next.startsWith(u'/') && next.size() > 1) ||
           next.startsWith(u'!') || next.startsWith(u'?');
}

} // namespace

std::optional<Markup> MarkupScanner::next()
{
    if (m_code) {
        const Markup code = *m_code;
        m_code.reset();
        return code;
    }
    qsizetype open = m_from < 0 ? -1 : m_text.indexOf(u'<', m_from);
    while (open >= 0 && !opensMarkup(m_text, open))
        open = m_text.indexOf(u'<', open + 1);
    if (open < 0)
        return std::nullopt;
    const QStringView rest = m_text.sliced(open);
    if (rest.startsWith(u"<!--"))
        return comment(open);
    // A processing instruction ends at "?>", as a <?php ... ?> holding "->" must; "<?>" is
    // one on its own.
    if (rest.startsWith(u"<?>"))
        return until(Markup::Comment, open, open + 2, 1);
    if (rest.startsWith(u"<?"))
        return until(Markup::Comment, open, m_text.indexOf(u"?>", open + 2), 2);
    // "</" before no letter, as in "I </3 it", is no closing tag, and a declaration such as
    // <!DOCTYPE ...> has no attribute values: both end at the first ">".
    const bool letter = rest.size() > 2 && isAsciiLetter(rest[2]);
    if (rest.startsWith(u"</") && !letter)
        return until(Markup::Comment, open, m_text.indexOf(u'>', open + 2), 1);
    bool guessed = false;
    const qsizetype close =
        rest.startsWith(u"<!") ? m_text.indexOf(u'>', open + 2) : tagEnd(m_text, open, guessed);
    if (close < 0) {
        Markup tag = until(Markup::Tag, open, -1, 0);
        tag.guessed = guessed;
        return tag;
    }
    // A "/" after the first letter ends the name too: <textarea/> opens a text area all the
    // same, and in <img/src="a.JPG"> src is an attribute.
    qsizetype nameEnd = open + 1;
    while (nameEnd < close && !isHtmlBlank(m_text[nameEnd]) &&
           !(m_text[nameEnd] == u'/' && nameEnd > open + 1))
        ++nameEnd;
    m_from = close + 1;
    const QStringView name = m_text.sliced(open + 1, nameEnd - open - 1);
    // Elements whose contents a browser reads as text or code, never as tags.
    for (const QStringView raw :
         {u"script", u"style", u"textarea", u"title", u"xmp", u"iframe", u"noembed", u"noframes"}) {
        if (equalsAsciiIgnoringCase(name, raw))
            m_code = until(Markup::Code, m_from, closingTag(raw, m_from), 0);
    }
    return Markup{Markup::Tag, open, close + 1, nameEnd, true, guessed};
}

// A comment ends at the first "-->" or "--!>", as browsers end it; "<!-->" and "<!--->" are
// whole, empty comments.
Markup MarkupScanner::comment(qsizetype open)
{
    const QStringView body = m_text.sliced(open + 4);
    for (const QStringView empty : {u">", u"->"}) {
        if (body.startsWith(empty))
            return until(Markup::Comment, open, open + 4, empty.size());
    }
    qsizetype length = 0;
    const qsizetype end = commentEnd(m_text, open + 4, length);
    return until(Markup::Comment, open, end, length);
}

// The piece from begin up to closer (with its length), or up to the end when there is none,
// which also ends the scan.
Markup MarkupScanner::until(Markup::Kind kind, qsizetype begin, qsizetype closer, qsizetype length)
{
    m_from = closer < 0 ? -1 : closer + length;
    return {kind, begin, closer < 0 ? m_text.size() : closer + length, begin + 1, closer >= 0};
}

// The closing tag of the element named raw: its whole name, so </titles> does not close a
// title.
qsizetype MarkupScanner::closingTag(QStringView raw, qsizetype from) const
{
    if (raw == u"script")
        return scriptEnd(m_text, from);
    for (qsizetype at = m_text.indexOf(u"</", from); at >= 0; at = m_text.indexOf(u"</", at + 2)) {
        if (startsWithTagName(m_text.sliced(at + 2), raw))
            return at;
    }
    return -1;
}

std::optional<QStringView> attributeValue(QStringView tag, QStringView lowerName)
{
    std::optional<QStringView> found;
    bool guessed = false;
    readTag(tag, 0, guessed, [&](QStringView name, QStringView value) {
        if (!found && equalsAsciiIgnoringCase(name, lowerName))
            found = value;
    });
    return found;
}

} // namespace scrivlet::files
