#include "files/Charset.h"

#include "files/SaveCodes.h"

#include <QRegularExpression>

namespace scrivlet::files {

using namespace Qt::StringLiterals;

QString DeclaredCharset(const QString &text)
{
    // A style sheet's @charset rule stands at its very start.
    static const QRegularExpression rule(QStringLiteral(R"re(^@charset\s+"([^"]*)")re"));
    if (const QRegularExpressionMatch match = rule.match(text); match.hasMatch())
        return match.captured(1);
    // Inside a meta tag, "charset" then "=": the attribute of HTML5 and the parameter inside
    // http-equiv's content alike. The label ends at a quote, a blank, ";" or the tag's end. One
    // in a comment is none; as a browser reads comments, "<!-->" and "<!--->" are whole, and
    // one that is never closed runs to the end.
    static const QRegularExpression declaration(
        QStringLiteral(
            R"(<!--(?:>|->|.*?(?:-->|\z))|<meta\s[^>]*?charset\s*=\s*["']?\s*([^"'\s;>/]+))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    for (QRegularExpressionMatchIterator it = declaration.globalMatch(text); it.hasNext();) {
        if (const QRegularExpressionMatch match = it.next(); match.hasCaptured(1))
            return match.captured(1);
    }
    // An XML declaration's encoding counts only without a meta, which a browser reads first.
    static const QRegularExpression xml(
        QStringLiteral(R"re(^<\?xml\s[^>]*?encoding\s*=\s*["']([^"']*))re"));
    return xml.match(text).captured(1);
}

namespace {

// The labels browsers accept for each of the four encodings, the one to write first.
struct CodeLabels
{
    const char *code;
    QStringList labels;
};

const CodeLabels &labelsOf(qsizetype i)
{
    static const CodeLabels codes[] = {
        {"Shift-JIS",
         {u"Shift_JIS"_s, u"shift-jis"_s, u"sjis"_s, u"x-sjis"_s, u"ms_kanji"_s, u"csshiftjis"_s,
          u"windows-31j"_s, u"ms932"_s, u"cp932"_s}},
        {"EUC", {u"EUC-JP"_s, u"x-euc-jp"_s, u"cseucpkdfmtjapanese"_s}},
        {"JIS", {u"ISO-2022-JP"_s, u"csiso2022jp"_s}},
        {"UTF-8", {u"UTF-8"_s, u"utf8"_s, u"unicode-1-1-utf-8"_s}},
    };
    return codes[i];
}
constexpr qsizetype kCodes = 4;

} // namespace

QString KanjiCodeOfCharset(const QString &label)
{
    const QString wanted = label.trimmed();
    for (qsizetype i = 0; i < kCodes; ++i) {
        if (labelsOf(i).labels.contains(wanted, Qt::CaseInsensitive))
            return QString::fromLatin1(labelsOf(i).code);
    }
    return {};
}

QString CharsetOfKanjiCode(const QString &code)
{
    for (qsizetype i = 0; i < kCodes; ++i) {
        if (code == QLatin1String(labelsOf(i).code))
            return labelsOf(i).labels.first();
    }
    return {};
}

QString SavedKanjiCode(const QString &setting)
{
    return EffectiveSaveSetting(SaveSetting::KanjiCode, setting);
}

} // namespace scrivlet::files
