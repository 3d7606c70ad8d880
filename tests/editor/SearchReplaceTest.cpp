// The find and replace histories, and Replace all.

#include "editor/SearchReplace.h"
#include "tests/common/DataRows.h"
#include "tests/common/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;

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
    EXPECT_EQ(ShownHistory(tenSlots("|x||y")), (QStringList{u"x"_s, u"y"_s}));
}

// One match at a time, as a user pressing Replace down from the top would: a literal loop over
// a plain string, checked at every index.
QString replaceOneByOne(QString text, const QString &needle, const QString &replacement,
                        CompareMode mode, qsizetype &count)
{
    count = 0;
    for (qsizetype i = 0; i + needle.size() <= text.size() && !needle.isEmpty();) {
        if (textStartsWith(QStringView(text).mid(i), needle, mode)) {
            text.replace(i, needle.size(), replacement);
            i += replacement.size();
            ++count;
        } else {
            ++i;
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
    const QString alphabet = QStringLiteral("aAａＡかカｶb");
    QRandomGenerator random(12);
    auto draw = [&](int length) {
        QString s;
        for (int i = 0; i < length; ++i)
            s.append(alphabet.at(random.bounded(alphabet.size())));
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        const QString text = draw(random.bounded(40));
        const QString needle = draw(1 + random.bounded(3));
        const QString replacement = draw(random.bounded(4));
        for (CompareMode mode : {CompareMode::Exact, CompareMode::Text}) {
            qsizetype count = -1;
            qsizetype expectedCount = -2;
            ASSERT_EQ(ReplaceAll(text, needle, replacement, mode, &count),
                      replaceOneByOne(text, needle, replacement, mode, expectedCount))
                << test::visible(text) << " / " << test::visible(needle) << " -> "
                << test::visible(replacement);
            ASSERT_EQ(count, expectedCount)
                << test::visible(text) << " / " << test::visible(needle);
        }
        // Qt's own replacement is a third opinion on the exact form.
        ASSERT_EQ(ReplaceAll(text, needle, replacement, CompareMode::Exact),
                  QString(text).replace(needle, replacement, Qt::CaseSensitive));
    }
}

} // namespace
} // namespace scrivlet
