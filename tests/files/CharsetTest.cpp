// The charset a page declares, and the kanji code each label names.

#include "files/Charset.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

TEST(CharsetDeclaration, TheFirstMetaDeclarationAsWritten)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"<head><meta charset=\"UTF-8\"></head>", u"UTF-8"},
        {u"<META CHARSET='shift_jis'>", u"shift_jis"},
        {u"<meta charset=euc-jp>", u"euc-jp"},
        {u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">",
         u"Shift_JIS"},
        {u"<meta\r\n  http-equiv=\"content-type\"\r\n  content=\"text/html;charset=iso-2022-jp\" "
         u"/>",
         u"iso-2022-jp"},
        {u"<meta charset=\"UTF-8\"><meta charset=\"EUC-JP\">", u"UTF-8"},
        // Not a declaration: outside a meta tag, or no charset at all.
        {u"<p>charset=UTF-8</p>", u""},
        {u"<meta name=\"author\" content=\"charset\">", u""},
        {u"", u""},
    };
    for (const auto &[text, label] : cases)
        EXPECT_EQ(files::DeclaredCharset(QString::fromUtf16(text)), QString::fromUtf16(label))
            << QString::fromUtf16(text).toStdString();
}

TEST(CharsetDeclaration, LabelsNameTheirKanjiCodeInAnyLetterCase)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Shift_JIS", "Shift-JIS"}, {"windows-31j", "Shift-JIS"}, {"x-sjis", "Shift-JIS"},
        {"EUC-JP", "EUC"},          {"ISO-2022-JP", "JIS"},       {"utf-8", "UTF-8"},
        {"UTF8", "UTF-8"},          {"iso-8859-1", ""},           {"", ""}};
    for (const auto &[label, code] : cases)
        EXPECT_EQ(files::KanjiCodeOfCharset(QString::fromLatin1(label)), QString::fromLatin1(code))
            << label;
    // The setting as a save reads it: anything else is Shift-JIS.
    EXPECT_EQ(files::SavedKanjiCode(QStringLiteral("UTF-8")), QStringLiteral("UTF-8"));
    EXPECT_EQ(files::SavedKanjiCode(QStringLiteral("utf-8")), QStringLiteral("Shift-JIS"));
}

} // namespace
} // namespace scrivlet
