// The word a double-click takes in Japanese text.

#include "editor/WordRuns.h"

#include <QString>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet {
namespace {

// Each row: the line with "|" before the character clicked, and the word taken ("" for none:
// the widget's own word stays).
TEST(JapaneseWord, IsTheRunOfOneScriptWithItsKanaMarks)
{
    const std::pair<QString, QString> rows[] = {
        {u"|今日は、晴れです。"_s, u"今日"_s},
        {u"今日|は、晴れです。"_s, u"は"_s},
        {u"今日は、晴|れです。"_s, u"れです"_s},
        {u"今日は|、晴れです。"_s, u""_s},
        {u"「カーテ|ン」を"_s, u"カーテン"_s},
        {u"カ|ーテン"_s, u"カーテン"_s},
        {u"すご|ーい"_s, u"すごーい"_s},
        {u"あ|ーカ"_s, u"あー"_s},
        {u"あー|カ"_s, u"カ"_s},
        {u"|ーカ"_s, u""_s},
        {u"ｶﾞｰﾃﾞ|ﾝ日"_s, u"ｶﾞｰﾃﾞﾝ"_s},
        {u"か\u3099|き"_s, u"か\u3099き"_s},
        {u"x|𠮷野家です"_s, u"𠮷野家"_s},
        {u"x𠮷野|家です"_s, u"𠮷野家"_s},
        {u"佐々|木さん"_s, u"佐々木"_s},
        {u"版Ｖ|２の"_s, u"Ｖ２"_s},
        {u"<p c|lass=\"日本\">"_s, u""_s},
        {u"日本 |語"_s, u"語"_s},
        {u"日本|"_s, u""_s},
    };
    for (const auto &[marked, word] : rows) {
        const qsizetype at = marked.indexOf(u'|');
        const QString line = QString(marked).remove(at, 1);
        const auto [begin, end] = JapaneseWordAt(line, at);
        EXPECT_EQ(line.mid(begin, end - begin), word) << marked.toStdString();
    }
    // Clicked on the second half of a surrogate pair, the character is the whole pair.
    const auto [begin, end] = JapaneseWordAt(u"a𠮷b"_s, 2);
    EXPECT_EQ(std::pair(begin, end), std::pair(qsizetype(1), qsizetype(3)));
}

// Each row: the widget's word, "|" before the character clicked, and the word taken.
TEST(JapaneseWord, TheWidgetsWordStopsAtJapanesePunctuation)
{
    const std::pair<QString, QString> rows[] = {
        {u"|ab。cd"_s, u"ab"_s}, {u"ab。c|d"_s, u"cd"_s}, {u"あ|、い"_s, u"、"_s},
        {u"x|・y"_s, u"・"_s},   {u"|x（y）"_s, u"x"_s},  {u"a|b｡c"_s, u"ab"_s},
        {u"a|bc"_s, u"abc"_s},
    };
    for (const auto &[marked, word] : rows) {
        const qsizetype at = marked.indexOf(u'|');
        const QString line = QString(marked).remove(at, 1);
        const auto [begin, end] = WordBetweenJapanesePunctuation(line, at, 0, line.size());
        EXPECT_EQ(line.mid(begin, end - begin), word) << marked.toStdString();
    }
}

} // namespace
} // namespace scrivlet
