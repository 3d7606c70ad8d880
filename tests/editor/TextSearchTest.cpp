// The text comparison; the search from a selection as the Find dialog (SelectMatch) and the Edit
// menu's FindNext/FindBack make it, over the rows of tests/data/search-selections.txt; the find
// and replace histories, and Replace all.

#include "editor/CharTables.h"
#include "editor/Messages.h"
#include "editor/SearchReplace.h"
#include "editor/clsRTF.h"
#include "tests/common/DataRows.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;

CompareMode modeOf(const std::string &name)
{
    return name == "exact" ? CompareMode::Exact : CompareMode::Text;
}

TEST(TextComparison, FoldsWidthKanaCaseAndVoicedMarks)
{
    for (const auto &r : test::readDataRows(SCRIVLET_TEST_DATA "/text-equality.txt", 4))
        EXPECT_EQ(textEquals(field(r, 0), field(r, 1), modeOf(r[2])), r[3] == "1")
            << r[0] << " vs " << r[1] << " " << r[2];
}

// Unicode's compatibility normalization composes a half-width kana with the half-width mark
// after it; with kana and case folded on top, it is a second opinion on which texts are equal.
TEST(TextComparison, AgreesWithUnicodeNormalizationOnKanaAndMarks)
{
    const QString alphabet = QStringLiteral("ｶﾊﾞﾟカガハパかがぱaAｱ");
    const auto canonical = [](const QString &s) {
        QString out = s.normalized(QString::NormalizationForm_KC);
        for (QChar &c : out) {
            if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096)
                c = QChar(c.unicode() + 0x60);
        }
        return out.toLower();
    };
    QRandomGenerator random(7);
    for (int round = 0; round < 20000; ++round) {
        QString a, b;
        for (QString *s : {&a, &b}) {
            for (int n = random.bounded(1, 4); n > 0; --n)
                s->append(alphabet.at(random.bounded(alphabet.size())));
        }
        ASSERT_EQ(textEquals(a, b, CompareMode::Text), canonical(a) == canonical(b))
            << test::visible(a) << " vs " << test::visible(b);
    }
}

TEST(TextComparison, FoldsTheSameAsTheCasePairs)
{
    // The search and the case conversions share one table: whatever case conversion pairs,
    // the search treats as equal.
    for (char32_t u = 0; u < 0x10000; ++u) {
        const auto c = static_cast<char16_t>(u);
        const char16_t upper = chars::toUpperPair(c);
        if (upper != c) {
            ASSERT_EQ(chars::toLowerPair(upper), c) << std::hex << unsigned(u);
            ASSERT_EQ(chars::foldForCompare(upper), chars::foldForCompare(c))
                << std::hex << unsigned(u);
        }
    }
}

// Each search selects the nearest match in its direction or leaves the selection; the Edit menu's
// commands compare as text, say when there is none (but not for an empty needle), change no text
// and record nothing.
TEST(Search, SelectsTheNearestMatchOrLeavesTheSelection)
{
    for (const auto &r : test::readDataRows(SCRIVLET_TEST_DATA "/search-selections.txt", 7)) {
        SCOPED_TRACE(test::visible(field(r, 0)) + " " + r[1] + "+" + r[2] + " " +
                     test::visible(field(r, 3)) + " " + r[4] + " " + r[5]);
        const int selStart = std::stoi(r[1]), selLength = std::stoi(r[2]), expect = std::stoi(r[6]);
        const QString needle = field(r, 3);
        const std::size_t plus = r[6].find('+');
        const qsizetype matched =
            plus == std::string::npos ? needle.size() : std::stoi(r[6].substr(plus + 1));
        const bool down = r[4] == "down";
        test::FakeClipboard clipboard;
        test::FakeMessageService messages;
        MemoryEditControl control(clipboard);
        clsRTF doc(messages, {});
        doc.Init(&control);
        QObject::connect(&control, &IEditControl::Change, &doc, [&] { doc.IsTextChange(); });
        const auto check = [&](bool found) {
            EXPECT_EQ(found, expect >= 0);
            EXPECT_EQ(control.SelStart(), found ? expect : selStart);
            EXPECT_EQ(control.SelLength(), found ? matched : selLength);
            control.setSelStart(selStart);
            control.setSelLength(selLength);
        };
        control.setText(field(r, 0));
        doc.InitVariable();
        control.setSelStart(selStart);
        control.setSelLength(selLength);
        check(SelectMatch(control, needle, down ? SearchDirection::Down : SearchDirection::Up,
                          modeOf(r[5])));
        if (r[5] != "text")
            continue;
        down ? doc.FindNext(needle) : doc.FindBack(needle);
        check(control.SelStart() != selStart || control.SelLength() != selLength);
        EXPECT_EQ(control.Text(), field(r, 0));
        EXPECT_EQ(doc.GetClctUndoCount(), 1);
        EXPECT_FALSE(doc.NeedSave());
        ASSERT_EQ(messages.shown.size(), expect < 0 && !needle.isEmpty() ? 1 : 0);
        for (const test::ShownMessage &m : messages.shown)
            EXPECT_EQ(std::tuple(m.text, m.title, m.icon, m.buttons),
                      std::tuple(editor::msg::kSearchFinished, u"Scrivlet"_s,
                                 MessageIcon::Information, MessageButtons::Ok));
    }
}

// Ten slots: the ones written between "|", then empty ones.
QStringList tenSlots(const std::string &entries)
{
    QStringList out = QString::fromStdString(entries).split(u'|');
    out.resize(kSearchHistorySlots);
    return out;
}

TEST(SearchHistory, UpdateMovesOrPushesExactly)
{
    for (const auto &r : test::readDataRows(SCRIVLET_TEST_DATA "/search-history.txt", 4)) {
        QStringList history = tenSlots(r[1]);
        UpdateSearchHistory(history, QString::fromStdString(r[2]));
        EXPECT_EQ(history, tenSlots(r[3])) << r[0];
    }
    QStringList shortList{u"a"_s};
    UpdateSearchHistory(shortList, u"b"_s);
    EXPECT_EQ(shortList, tenSlots("b|a")) << "a short list is taken as ten slots";
}

// One match at a time, as a user pressing Replace down from the top would: a literal loop over
// a plain string, checked at every letter. Under the text comparison a kana and its voiced mark
// are one letter, which its kana alone then does not match.
QString replaceOneByOne(QString text, const QString &needle, const QString &replacement,
                        CompareMode mode, qsizetype &count)
{
    count = 0;
    for (qsizetype i = 0; i < text.size() && !needle.isEmpty();) {
        const QStringView rest = QStringView(text).mid(i);
        if (const qsizetype length = matchLength(rest, needle, mode); length >= 0) {
            text.replace(i, length, replacement);
            i += replacement.size();
            ++count;
        } else {
            i += matchLength(rest, rest.first(1), mode) < 0 ? 2 : 1;
        }
    }
    return text;
}

TEST(ReplaceAll, AgreesWithOneByOneReplacementOnRandomTexts)
{
    qsizetype none = -1;
    EXPECT_EQ(ReplaceAll(u"abc", u"", u"x", CompareMode::Exact, &none), u"abc") << "no needle";
    EXPECT_EQ(none, 0);
    // A small alphabet in several forms, so that matches are dense, adjacent and overlapping.
    const QString alphabet = QStringLiteral("aAａＡかカｶbﾞガが");
    QRandomGenerator random(12);
    auto draw = [&](int length) {
        QString s;
        while (length-- > 0)
            s.append(alphabet.at(random.bounded(alphabet.size())));
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        const QString text = draw(random.bounded(40)), needle = draw(1 + random.bounded(3));
        const QString replacement = draw(random.bounded(4));
        SCOPED_TRACE(test::visible(text) + " / " + test::visible(needle) + " -> " +
                     test::visible(replacement));
        for (CompareMode mode : {CompareMode::Exact, CompareMode::Text}) {
            qsizetype count = -1, expectedCount = -2;
            ASSERT_EQ(ReplaceAll(text, needle, replacement, mode, &count),
                      replaceOneByOne(text, needle, replacement, mode, expectedCount));
            ASSERT_EQ(count, expectedCount);
        }
        // Qt's own replacement is a third opinion on the exact form.
        ASSERT_EQ(ReplaceAll(text, needle, replacement, CompareMode::Exact),
                  QString(text).replace(needle, replacement, Qt::CaseSensitive));
    }
}

} // namespace
} // namespace scrivlet
