// The shared text must read exactly like the string it stands for, in every version ever made.

#include "editor/SharedText.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace scrivlet {
namespace {

TEST(SharedText, ReadsLikeItsString)
{
    // Length, the whole text, mid within it and at() the random edits below and every edit-control
    // test read; here the ends.
    const SharedText text(QStringLiteral("hello, 世界"));
    EXPECT_EQ(text.mid(7, 5), QStringLiteral("世界"));
    EXPECT_EQ(text.mid(-3, 2), QStringLiteral("he")) << "a start before the text counts from 0";
    EXPECT_EQ(text.mid(20, 2), QString());
    EXPECT_EQ(SharedText().mid(0, 4), QString());
}

TEST(SharedText, TypingAtOnePlaceKeepsThePiecesFew)
{
    SharedText text(QString(100000, u'x'));
    for (int i = 0; i < 1000; ++i)
        text = text.replaced(50000 + i, 0, QStringLiteral("a"));
    EXPECT_LE(text.pieceCount(), 3);
    for (int i = 0; i < 500; ++i)
        text = text.replaced(51000 - i - 1, 1, QString());
    EXPECT_LE(text.pieceCount(), 3);
    EXPECT_EQ(text.mid(49999, 502), QStringLiteral("x") + QString(500, u'a') + u'x');
}

TEST(SharedText, RandomEditsMatchAPlainStringInEveryVersion)
{
    std::mt19937 rng(7);
    auto pick = [&](int bound) {
        return std::uniform_int_distribution<int>(0, bound)(rng);
    };
    const QString alphabet = QStringLiteral("abcdefあいう\r\n");
    for (int round = 0; round < 40; ++round) {
        QString plain;
        for (int i = pick(300); i > 0; --i)
            plain.append(alphabet.at(pick(int(alphabet.size()) - 1)));
        std::vector<std::pair<SharedText, QString>> versions{{SharedText(plain), plain}};
        for (int step = 0; step < 300; ++step) {
            // Edit any earlier version, not only the newest, as undo and redo may.
            const auto &[base, expected] = versions[pick(int(versions.size()) - 1)];
            const int pos = pick(int(expected.size()) + 2) - 1;
            const int remove = pick(pick(3) == 0 ? 40 : 3);
            QString insert;
            for (int i = pick(pick(4) == 0 ? 20 : 2); i > 0; --i)
                insert.append(alphabet.at(pick(int(alphabet.size()) - 1)));
            QString next = expected;
            const int p = std::clamp(pos, 0, int(next.size()));
            next.replace(p, std::min(remove, int(next.size()) - p), insert);
            versions.emplace_back(base.replaced(pos, remove, insert), next);
        }
        for (const auto &[text, expected] : versions) {
            ASSERT_EQ(text.toString(), expected);
            ASSERT_EQ(text.length(), expected.size());
            const int from = pick(int(expected.size()));
            ASSERT_EQ(text.mid(from, 17), expected.mid(from, 17));
            // Shared starts and ends against any other version, related or not, counted unit
            // by unit on the plain strings.
            const auto &[other, otherPlain] = versions[pick(int(versions.size()) - 1)];
            const SharedText unrelated(otherPlain);
            const qsizetype limit = pick(int(std::min(expected.size(), otherPlain.size())));
            qsizetype head = 0, tail = 0;
            while (head < limit && expected[head] == otherPlain[head])
                ++head;
            while (tail < limit &&
                   expected[expected.size() - 1 - tail] == otherPlain[otherPlain.size() - 1 - tail])
                ++tail;
            ASSERT_EQ(text.commonPrefix(other, limit), head);
            ASSERT_EQ(text.commonSuffix(other, limit), tail);
            ASSERT_EQ(text.commonPrefix(unrelated, limit), head);
            ASSERT_EQ(other.commonSuffix(text, limit), tail);
        }
    }
}

} // namespace
} // namespace scrivlet
