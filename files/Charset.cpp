#include "files/Charset.h"

#include "files/SaveCodes.h"

#include <QRegularExpression>

namespace scrivlet::files {

using namespace Qt::StringLiterals;

QString DeclaredCharset(const QString &text)
{
    // Inside a meta tag, "charset" then "=": the attribute of HTML5 and the parameter inside
    // http-equiv's content alike. The label ends at a quote, a blank, ";" or the tag's end.
    static const QRegularExpression declaration(
        QStringLiteral(R"(<meta\s[^>]*?charset\s*=\s*["']?\s*([^"'\s;>/]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = declaration.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString KanjiCodeOfCharset(const QString &label)
{
    // The labels browsers accept for each of the four encodings.
    static const struct
    {
        const char *code;
        QStringList labels;
    } codes[] = {
        {"Shift-JIS",
         {u"shift_jis"_s, u"shift-jis"_s, u"sjis"_s, u"x-sjis"_s, u"ms_kanji"_s, u"csshiftjis"_s,
          u"windows-31j"_s, u"ms932"_s, u"cp932"_s}},
        {"EUC", {u"euc-jp"_s, u"x-euc-jp"_s, u"cseucpkdfmtjapanese"_s}},
        {"JIS", {u"iso-2022-jp"_s, u"csiso2022jp"_s}},
        {"UTF-8", {u"utf-8"_s, u"utf8"_s, u"unicode-1-1-utf-8"_s}},
    };
    const QString wanted = label.trimmed().toLower();
    for (const auto &entry : codes) {
        if (entry.labels.contains(wanted))
            return QString::fromLatin1(entry.code);
    }
    return {};
}

QString SavedKanjiCode(const QString &setting)
{
    return EffectiveSaveSetting(SaveSetting::KanjiCode, setting);
}

} // namespace scrivlet::files
