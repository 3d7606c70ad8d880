// The Shift-JIS codec pinned on the bytes where Windows' code page 932 and plain Shift_JIS part
// ways, and on faulty input; the charset a page declares, and the kanji code each label names.

#include "files/Charset.h"
#include "files/Cp932.h"
#include "tests/common/DataRows.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;

TEST(Cp932Codec, PinnedCodesGoTheWindowsWay)
{
    for (const auto &row : test::readDataRows(SCRIVLET_TEST_DATA "/cp932-pins.txt", 4)) {
        // Whether the codec called the conversion clean; a way the row does not take is.
        const bool clean = row[3] == "1";
        bool decoded = row[2] == "EncodeOnly" ? clean : !clean;
        bool encoded = row[2] == "DecodeOnly" ? clean : !clean;
        if (row[2] != "EncodeOnly") {
            EXPECT_EQ(decodeCp932(QByteArray::fromStdString(row[0]), &decoded), field(row, 1));
        }
        if (row[2] != "DecodeOnly") {
            EXPECT_EQ(encodeCp932(field(row, 1), &encoded).toStdString(), row[0]);
        }
        EXPECT_EQ(decoded, clean) << row[1];
        EXPECT_EQ(encoded, clean) << row[1];
    }
    // Lone surrogates have no UTF-8 to be written in the file.
    bool ok = true;
    EXPECT_EQ(encodeCp932(QChar(0xD800) + u"a"_s + QChar(0xDC00), &ok), "?a?"_ba);
    EXPECT_FALSE(ok);
    EXPECT_EQ(decodeCp932("\x82\xA0"), u"あ"); // no ok pointer
    EXPECT_EQ(encodeCp932(u"😀"), "?"_ba);
}

TEST(Cp932Codec, EveryCharacterComesBackAsItself)
{
    // Every single byte and every pair with a lead byte above 0x7F that decodes cleanly to one
    // character gives bytes that decode to it again (maybe the twin's, as 0xED40 and 0xFA5C).
    QString all;
    for (int code = 0; code < 0x10000; ++code) {
        const char pair[2] = {char(code >> 8), char(code)};
        const QByteArray bytes = code < 0x100 ? QByteArray(pair + 1, 1) : QByteArray(pair, 2);
        bool ok = false;
        const QString text = decodeCp932(bytes, &ok);
        if (!ok || text.size() != 1 || (code >= 0x100 && code < 0x8000))
            continue;
        all += text;
        bool encoded = false;
        ASSERT_EQ(decodeCp932(encodeCp932(text, &encoded)), text) << bytes.toHex().data();
        ASSERT_TRUE(encoded) << bytes.toHex().data();
    }
    // 128 ASCII, 63 half-width katakana, and the two-byte codes of Windows' table; all of them
    // in one text, long enough that any fixed buffer inside would have to be refilled.
    EXPECT_GT(all.size(), 9000);
    bool ok = false;
    EXPECT_EQ(decodeCp932(encodeCp932(all, &ok)), all);
    EXPECT_TRUE(ok);
}

TEST(Charset, TheFirstMetaDeclarationAsWrittenAndTheCodeEachLabelNames)
{
    for (const auto &row : test::readDataRows(SCRIVLET_TEST_DATA "/charsets.txt", 2)) {
        const QString input = field(row, 0);
        const QString expected = field(row, 1);
        if (row.group == "Declarations")
            EXPECT_EQ(files::DeclaredCharset(input), expected) << row[0];
        else if (row.group == "Labels")
            EXPECT_EQ(files::KanjiCodeOfCharset(input), expected) << row[0];
        else
            EXPECT_EQ(files::CharsetOfKanjiCode(input), expected) << row[0];
    }
    // The setting as a save reads it: anything else is Shift-JIS.
    EXPECT_EQ(files::SavedKanjiCode(u"UTF-8"_s), u"UTF-8"_s);
    EXPECT_EQ(files::SavedKanjiCode(u"utf-8"_s), u"Shift-JIS"_s);
}

} // namespace
} // namespace scrivlet
