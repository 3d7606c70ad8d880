// Time of every conversion type on 1 MB and 10 MB of Japanese HTML, and on 10 MB made only of
// what each type rewrites. A megabyte here is 2^20 UTF-16 units, more than the Shift-JIS file
// of the same text would take.

#include "html/ConvString.h"

#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using scrivlet::ConvType;
using scrivlet::html::ConvString;

constexpr qsizetype kMegabyte = qsizetype(1) << 20;

struct TypeInfo
{
    ConvType type;
    const char *name;
    const char16_t *worstPiece; // what the type rewrites, repeated to fill the worst case
};

const std::vector<TypeInfo> kTypes = {
    {ConvType::LowerCase, "LowerCase", u"AÉΣＡ"},
    {ConvType::UpperCase, "UpperCase", u"aéσａ"},
    {ConvType::HalfWidth, "HalfWidth", u"ガパＡ\u3000"},
    {ConvType::FullWidth, "FullWidth", u"ｶﾞﾊﾟa "},
    {ConvType::HalfKanaToFull, "HalfKanaToFull", u"ｶﾞﾊﾟ"},
    {ConvType::KatakanaToHiragana, "KatakanaToHiragana", u"カタカナ"},
    {ConvType::HiraganaToKatakana, "HiraganaToKatakana", u"ひらがな"},
    {ConvType::EscapeAngleBrackets, "EscapeAngleBrackets", u"<>"},
    {ConvType::UnescapeAngleBrackets, "UnescapeAngleBrackets", u"&lt;&gt;"},
    {ConvType::EscapeAmpersand, "EscapeAmpersand", u"&"},
    {ConvType::UnescapeAmpersand, "UnescapeAmpersand", u"&amp;"},
    {ConvType::SpaceToNbsp, "SpaceToNbsp", u" "},
    {ConvType::NbspToSpace, "NbspToSpace", u"&nbsp;"},
    {ConvType::TagNameLower, "TagNameLower", u"<A\r\nHREF=X>"},
    {ConvType::TagNameUpper, "TagNameUpper", u"<a\r\nhref=x>"},
    {ConvType::AddBrAtLineEnd, "AddBrAtLineEnd", u"\r\n"},
    {ConvType::BrToLineBreak, "BrToLineBreak", u"<br>"},
    {ConvType::WrapLinesInLi, "WrapLinesInLi", u"a\r\n"},
};

// Lines of a hand-written Japanese page: paragraphs, links, lists, tables and comments, with
// half-width kana, full-width letters and character references here and there.
const QString &realisticText(qsizetype size)
{
    static std::map<qsizetype, QString> cache;
    QString &text = cache[size];
    if (!text.isEmpty())
        return text;

    static const char16_t *const lines[] = {
        u"<P>今日は晴れていたので、近所の公園までサンポに出かけました。</P>",
        u"<p class=\"note\">ｶﾀｶﾅ ﾃﾞ ｶｲﾀ ﾒﾓ と、全角のＡＢＣ１２３が混ざった行です。<br>",
        u"<A HREF=\"diary/2001-04.html\">四月の日記</A>&nbsp;|&nbsp;",
        u"<A HREF=\"link.html\">リンク集</A>",
        u"<UL>",
        u"  <LI>ホームページ作成ソフトの比較&amp;感想</LI>",
        u"  <li>タグの書き方について &lt;BR&gt; と &lt;P&gt; の違い</li>",
        u"</UL>",
        u"<TABLE BORDER=\"1\" CELLPADDING=\"2\"><TR><TD>項目</TD><TD>値段（円）</TD></TR>",
        u"<tr><td>コーヒー</td><td align=\"right\">３５０</td></tr></TABLE>",
        u"<!-- ここから下はメニュー -->",
        u"<IMG SRC=\"images/title.gif\" WIDTH=\"320\" HEIGHT=\"48\" ALT=\"タイトル画像\">",
        u"ご意見・ご感想は<a href=\"mailto:someone@example.jp\">メール</a>でどうぞ。<BR>",
        u"",
        u"<H2>■ 更新履歴</H2>",
        u"\t<font color=\"#FF0000\">New!</font> ゲームのページにヴァージョン２を追加しました。",
    };
    std::mt19937 engine(2001);
    text.reserve(size + 200);
    while (text.size() < size) {
        text += QString::fromUtf16(lines[engine() % std::size(lines)]);
        text += u"\r\n";
    }
    text.truncate(size);
    return text;
}

const QString &worstText(const TypeInfo &info, qsizetype size)
{
    static std::map<std::string, QString> cache;
    QString &text = cache[info.name];
    if (text.isEmpty()) {
        const QString piece = QString::fromUtf16(info.worstPiece);
        text = piece.repeated(size / piece.size());
    }
    return text;
}

void run(benchmark::State &state, ConvType type, const QString &text)
{
    for (auto _ : state) {
        QString out = ConvString(text, type);
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}

} // namespace

int main(int argc, char **argv)
{
    for (const TypeInfo &info : kTypes) {
        for (const int megabytes : {1, 10}) {
            const std::string name =
                std::string("ConvString/") + info.name + "/" + std::to_string(megabytes) + "MB";
            benchmark::RegisterBenchmark(name.c_str(), [info, megabytes](benchmark::State &state) {
                run(state, info.type, realisticText(megabytes * kMegabyte));
            })->Unit(benchmark::kMillisecond);
        }
    }
    for (const TypeInfo &info : kTypes) {
        const std::string name = std::string("ConvString/") + info.name + "/10MB/worst";
        benchmark::RegisterBenchmark(name.c_str(), [info](benchmark::State &state) {
            run(state, info.type, worstText(info, 10 * kMegabyte));
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
