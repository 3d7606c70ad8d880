// The common-dialog object at the level of its properties: scripted file dialogs, choosers and
// shell stand in for the real ones, so no box ever opens.

#include "dialogs/cCommonDlg.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace scrivlet;
using scrivlet::test::FakeFileDialogs;
using scrivlet::test::FakeShell;

namespace {

const QChar kNul(u'\0');
const QString kHtmlFilter = QStringLiteral("HTML Files (*.htm,*.html,*.shtml)|*.htm;*.html;*.shtml|"
                                           "All Files (*.*)|*.*");
const qint32 kCallersFlags = 2624004;

QString nul(const char16_t *text)
{
    QString out = QString::fromUtf16(text);
    out.replace(u'|', kNul);
    return out;
}

class CommonDialog : public ::testing::Test
{
protected:
    // The way the windows set the object up before an open or save dialog.
    void setUpLikeTheWindows(const QString &title)
    {
        dlg.setForm(&form);
        dlg.setDialogTitle(title);
        dlg.setFilter(kHtmlFilter);
        dlg.setFilterIndex(1);
        dlg.setFlags(kCallersFlags);
        dlg.setInitDir(QStringLiteral("/work/site"));
        dlg.setCancelError(true);
    }

    FakeFileDialogs files;
    FakeShell shell;
    QWidget form;
    cCommonDlg dlg{files, shell};
};

// ---- Filter ----

struct FilterCase
{
    const char16_t *filter;
    const char16_t *converted; // "|" stands for NUL
};

class FilterConversion : public CommonDialog, public ::testing::WithParamInterface<FilterCase>
{};

TEST_P(FilterConversion, ReadsBackAsSetAndConvertsToNulSeparatedParts)
{
    const QString filter = QString::fromUtf16(GetParam().filter);
    dlg.setFilter(filter);
    EXPECT_EQ(dlg.Filter(), filter);
    EXPECT_EQ(dlg.convertedFilter(), nul(GetParam().converted));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterConversion,
    ::testing::Values(
        // Four parts and one NUL after the last.
        FilterCase{u"HTML Files (*.htm,*.html,*.shtml)|*.htm;*.html;*.shtml|All Files (*.*)|*.*",
                   u"HTML Files (*.htm,*.html,*.shtml)|*.htm;*.html;*.shtml|All Files (*.*)|*.*|"},
        // A closing "|" is the closing NUL: no second one.
        FilterCase{u"Exe Files (*.exe)|*.exe|", u"Exe Files (*.exe)|*.exe|"}, FilterCase{u"", u"|"},
        FilterCase{u"|", u"|"}, FilterCase{u"a||b", u"a||b|"}));

TEST_F(CommonDialog, DefaultFilterIsAllFiles)
{
    EXPECT_EQ(dlg.Filter(), QStringLiteral("All Files (*.*)|*.*"));
    EXPECT_EQ(dlg.convertedFilter(), nul(u"All Files (*.*)|*.*|"));
    dlg.setForm(&form);
    dlg.ShowOpen();
    ASSERT_EQ(files.requests.size(), 1);
    using Pairs = QList<std::pair<QString, QString>>;
    EXPECT_EQ(files.requests[0].filters,
              (Pairs{{QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}}));
}

struct PairsCase
{
    const char16_t *filter;
    QList<std::pair<QString, QString>> pairs;
};

class FilterPairs : public CommonDialog, public ::testing::WithParamInterface<PairsCase>
{};

// The platform's list ends at its first empty string; a description without a pattern is no
// entry.
TEST_P(FilterPairs, DialogGetsTheEntriesUpToTheFirstEmptyPart)
{
    dlg.setForm(&form);
    dlg.setFilter(QString::fromUtf16(GetParam().filter));
    dlg.ShowOpen();
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_EQ(files.requests[0].filters, GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterPairs,
                         ::testing::Values(PairsCase{u"Exe Files (*.exe)|*.exe|",
                                                     {{"Exe Files (*.exe)", "*.exe"}}},
                                           PairsCase{u"A|*.a|B", {{"A", "*.a"}}},
                                           PairsCase{u"A|*.a||B|*.b", {{"A", "*.a"}}},
                                           PairsCase{u"|*.a|B|*.b", {}}, PairsCase{u"", {}}));

// ---- The request the dialog receives ----

TEST_F(CommonDialog, CallersFlagsAreTheNamedBits)
{
    EXPECT_EQ(ofn::HideReadOnly | ofn::AllowMultiSelect | ofn::PathMustExist | ofn::Explorer |
                  ofn::LongNames,
              kCallersFlags);
}

TEST_F(CommonDialog, OpenRequestCarriesTheWindowsSettings)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    dlg.ShowOpen();

    ASSERT_EQ(files.requests.size(), 1);
    const FileDialogRequest &r = files.requests[0];
    EXPECT_EQ(r.owner, &form);
    EXPECT_EQ(r.title, QStringLiteral("開く"));
    using Pairs = QList<std::pair<QString, QString>>;
    EXPECT_EQ(r.filters, (Pairs{{QStringLiteral("HTML Files (*.htm,*.html,*.shtml)"),
                                 QStringLiteral("*.htm;*.html;*.shtml")},
                                {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}}));
    EXPECT_EQ(r.filterIndex, 0);
    EXPECT_EQ(r.initialDirectory, QStringLiteral("/work/site"));
    EXPECT_TRUE(r.fileName.isEmpty());
    EXPECT_FALSE(r.save);
    EXPECT_TRUE(r.multiSelect);
    EXPECT_TRUE(r.pathMustExist);
    EXPECT_FALSE(r.promptOverwrite);
    EXPECT_TRUE(r.defaultSuffix.isEmpty());
    EXPECT_EQ(dlg.flags(), kCallersFlags);
    EXPECT_EQ(dlg.Action(), CommonDialogAction::Open);
}

TEST_F(CommonDialog, SaveRequestIsASaveDialog)
{
    setUpLikeTheWindows(QStringLiteral("保存"));
    dlg.setFlags(ofn::OverwritePrompt);
    dlg.setDefaultExt(QStringLiteral("html"));
    dlg.ShowSave();

    ASSERT_EQ(files.requests.size(), 1);
    const FileDialogRequest &r = files.requests[0];
    EXPECT_EQ(r.title, QStringLiteral("保存"));
    EXPECT_TRUE(r.save);
    EXPECT_TRUE(r.promptOverwrite);
    EXPECT_FALSE(r.multiSelect);
    EXPECT_FALSE(r.pathMustExist);
    EXPECT_EQ(r.defaultSuffix, QStringLiteral("html"));
    EXPECT_EQ(dlg.Action(), CommonDialogAction::Save);
}

TEST_F(CommonDialog, FileMustExistImpliesThePath)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    dlg.setFlags(ofn::FileMustExist);
    dlg.ShowOpen();
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_TRUE(files.requests[0].pathMustExist);
}

TEST_F(CommonDialog, FilterIndexIsOneBasedAndFallsBackToTheFirst)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    const QList<std::pair<qint16, int>> cases{{0, 0}, {1, 0}, {2, 1}, {3, 0}, {-1, 0}};
    for (const auto &[index, expected] : cases) {
        dlg.setFilterIndex(index);
        dlg.ShowOpen();
        EXPECT_EQ(files.requests.last().filterIndex, expected) << "FilterIndex " << index;
    }
}

TEST_F(CommonDialog, InitialNameIsCutToTheBuffer)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    dlg.setFileName(QStringLiteral("abcdef.html"));
    dlg.setMaxFileSize(5);
    dlg.ShowOpen();
    EXPECT_EQ(files.requests.last().fileName, QStringLiteral("abcd"));

    // After several files the name is the folder up to the first NUL.
    dlg.setMaxFileSize(255);
    dlg.setFileName(QStringLiteral("/w") + kNul + QStringLiteral("a.html"));
    dlg.ShowOpen();
    EXPECT_EQ(files.requests.last().fileName, QStringLiteral("/w"));
}

// ---- Results of a file dialog ----

TEST_F(CommonDialog, ConfirmedGivesThePathAndItsTitle)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.willChoose({QStringLiteral("/work/site/index.html")});
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/work/site/index.html"));
    EXPECT_EQ(dlg.FileNames(), QStringList{QStringLiteral("/work/site/index.html")});
    EXPECT_EQ(dlg.FileTitle(), QStringLiteral("index.html"));
}

TEST_F(CommonDialog, CancelWithCancelErrorReportsAndEmptiesTheName)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    dlg.setFileName(QStringLiteral("/old.html"));
    files.willCancel();
    dlg.ShowOpen();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_TRUE(dlg.FileName().isEmpty());
    EXPECT_TRUE(dlg.FileNames().isEmpty());
}

TEST_F(CommonDialog, CancelWithoutCancelErrorChangesNothing)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.willCancel();
    dlg.ShowOpen(); // CancelButton is now True
    dlg.setCancelError(false);
    dlg.setFileName(QStringLiteral("/kept.html"));
    files.willCancel();
    dlg.ShowSave();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/kept.html"));

    files.willChoose({QStringLiteral("/a.html")});
    dlg.ShowOpen(); // a confirm reports False whatever CancelError says
    EXPECT_FALSE(dlg.CancelButton());
    files.willCancel();
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/a.html"));
}

TEST_F(CommonDialog, CancelledThenConfirmedReportsTheConfirm)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.willCancel();
    files.willChoose({QStringLiteral("/work/b.html")});
    dlg.ShowOpen();
    ASSERT_TRUE(dlg.CancelButton());
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/work/b.html"));
}

TEST_F(CommonDialog, PathLongerThanTheBufferIsACancel)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    dlg.setMaxFileSize(10);
    files.willChoose({QStringLiteral("/abcdefgh")});  // 9 characters and the NUL: fits
    files.willChoose({QStringLiteral("/abcdefghi")}); // 10: does not
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/abcdefgh"));
    dlg.ShowOpen();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_TRUE(dlg.FileName().isEmpty());
}

TEST_F(CommonDialog, OverlongPathWithoutCancelErrorLeavesTheEarlierAnswer)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    dlg.setCancelError(false);
    dlg.setMaxFileSize(10);
    files.willChoose({QStringLiteral("/a.html")});
    files.willChoose({QStringLiteral("/long-name.html")});
    dlg.ShowOpen();
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/a.html"));
    EXPECT_EQ(dlg.FileTitle(), QStringLiteral("a.html"));
}

TEST_F(CommonDialog, AcceptedWithoutAFileIsACancel)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.answers.append(FileDialogAnswer{true, {}});
    dlg.ShowOpen();
    EXPECT_TRUE(dlg.CancelButton());
}

// Without an owner nothing is shown; an earlier confirm must not pass for this one.
TEST_F(CommonDialog, NoOwnerIsAFailedDialog)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.willChoose({QStringLiteral("/first.html")});
    dlg.ShowOpen();
    ASSERT_FALSE(dlg.CancelButton());

    dlg.setForm(nullptr);
    dlg.ShowOpen();
    EXPECT_EQ(files.requests.size(), 1);
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_TRUE(dlg.FileName().isEmpty());
}

TEST_F(CommonDialog, ClosedOwnerIsNoOwner)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    auto *owner = new QWidget;
    dlg.setForm(owner);
    delete owner;
    dlg.ShowOpen();
    EXPECT_TRUE(files.requests.isEmpty());
    EXPECT_EQ(dlg.Form(), nullptr);
    EXPECT_TRUE(dlg.CancelButton());
}

// ---- Several files ----

TEST_F(CommonDialog, SeveralFilesComeBackAsFolderAndNames)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.willChoose({QStringLiteral("/work/site/a.html"), QStringLiteral("/work/site/b.htm")});
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileName(), nul(u"/work/site|a.html|b.htm"));
    EXPECT_EQ(dlg.FileNames(), (QStringList{QStringLiteral("/work/site/a.html"),
                                            QStringLiteral("/work/site/b.htm")}));
    EXPECT_EQ(dlg.FileTitle(), QStringLiteral("a.html"));
}

TEST_F(CommonDialog, SeveralFilesInTheRootFolder)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    files.willChoose({QStringLiteral("/a.html"), QStringLiteral("/b.html")});
    dlg.ShowOpen();
    EXPECT_EQ(dlg.FileName(), nul(u"/|a.html|b.html"));
    EXPECT_EQ(dlg.FileNames(), (QStringList{QStringLiteral("/a.html"), QStringLiteral("/b.html")}));
}

TEST_F(CommonDialog, SeveralFilesNeedRoomForTwoClosingNuls)
{
    setUpLikeTheWindows(QStringLiteral("開く"));
    const QStringList chosen{QStringLiteral("/w/a"), QStringLiteral("/w/b")}; // "/w|a|b": 6
    dlg.setMaxFileSize(8);
    files.willChoose(chosen);
    dlg.ShowOpen();
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FileNames(), chosen);

    dlg.setMaxFileSize(7);
    files.willChoose(chosen);
    dlg.ShowOpen();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_TRUE(dlg.FileNames().isEmpty());
}

TEST_F(CommonDialog, FileNamesFollowsAFileNameSetByHand)
{
    dlg.setFileName(QStringLiteral("/w/x.html"));
    EXPECT_EQ(dlg.FileNames(), QStringList{QStringLiteral("/w/x.html")});
    dlg.setFileName(QString());
    EXPECT_TRUE(dlg.FileNames().isEmpty());
}

// ---- Defaults ----

TEST_F(CommonDialog, Defaults)
{
    EXPECT_EQ(dlg.Form(), nullptr);
    EXPECT_EQ(dlg.DialogTitle(), QStringLiteral("Open File"));
    EXPECT_EQ(dlg.FilterIndex(), 0);
    EXPECT_EQ(dlg.flags(), 0);
    EXPECT_EQ(dlg.InitDir(), QDir::currentPath());
    EXPECT_TRUE(dlg.FileName().isEmpty());
    EXPECT_EQ(dlg.FileTitle(), QString(254, QLatin1Char(' ')));
    EXPECT_TRUE(dlg.DefaultExt().isEmpty());
    EXPECT_EQ(dlg.MaxFileSize(), 255);
    EXPECT_FALSE(dlg.CancelError());
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.Action(), CommonDialogAction::None);
    EXPECT_EQ(dlg.ErrNumber(), 0);
    EXPECT_EQ(dlg.Color(), 0);
    EXPECT_TRUE(dlg.FontName().isEmpty());
    EXPECT_EQ(dlg.FontSize(), 0);
    EXPECT_FALSE(dlg.FontBold() || dlg.FontItalic() || dlg.FontStrikethru() || dlg.FontUnderline());
    EXPECT_EQ(dlg.Max(), 0);
    EXPECT_EQ(dlg.Min(), 0);
    EXPECT_EQ(dlg.FromPage() | dlg.ToPage() | dlg.Copies() | dlg.hdc() | dlg.PrinterDefault(), 0);
    EXPECT_TRUE(dlg.HelpFile().isEmpty());
    EXPECT_EQ(dlg.HelpCommand(), 0);
    EXPECT_EQ(dlg.HelpContext(), 0);
    EXPECT_EQ(dlg.HelpKey(), QStringLiteral("0"));
    EXPECT_TRUE(dlg.HtmlHelpFile().isEmpty());
    EXPECT_EQ(dlg.HtmlHelpCommand(), 0);
    EXPECT_EQ(dlg.HtmlHelpContext(), 0);
    EXPECT_TRUE(dlg.HtmlHelpKey().isEmpty());
}

// ---- ErrNumber and ErrDescription ----

struct ErrorCase
{
    qint32 number;
    const char16_t *text;
};

class ErrorDescription : public CommonDialog, public ::testing::WithParamInterface<ErrorCase>
{};

TEST_P(ErrorDescription, ComesFromTheTable)
{
    dlg.setForm(&form);
    const qint32 number = GetParam().number;
    dlg.setColorChooser([number](const cCommonDlg::ColorRequest &) {
        return cCommonDlg::ColorAnswer{false, 0, number};
    });
    dlg.ShowColor();
    EXPECT_EQ(dlg.ErrNumber(), number);
    EXPECT_EQ(dlg.ErrDescription(), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorDescription,
    ::testing::Values(
        ErrorCase{-32768, u"関数がダイアログ ボックスをロードできません。"},
        ErrorCase{20476, u"メンバ lpstrFile が指すバッファが小さすぎます。"},
        ErrorCase{24574, u"フォントが存在しません。"},
        ErrorCase{28660, u"WIN.INI ファイル内の [devices] セクションに、必要なプリンタについてのエ"
                         u"ントリがありません。"},
        ErrorCase{28668, u"PDReturnDefault フラグが設定されていますが、hDevMode フィールドまたは "
                         u"hDevNames フィールドが 0 ではありません。"},
        ErrorCase{28671, u"PDReturnDefault フラグが設定されていますが、hDevMode フィールドまたは "
                         u"hDevNames フィールドが 0 ではありません。"},
        ErrorCase{32751, u"Microsoft Windows のヘルプを呼び出せません。"},
        ErrorCase{32755, u"[キャンセル] ボタンが選択されました。"},
        ErrorCase{32760, u"関数が指定したリソースをロードできません。"},
        ErrorCase{32761, u"関数が指定したリソースをロードできません。"},
        ErrorCase{32765, u"関数を初期化できません。"}, ErrorCase{0, u"未知のｴﾗｰです。"},
        ErrorCase{32756, u"未知のｴﾗｰです。"}, ErrorCase{32768, u"未知のｴﾗｰです。"},
        ErrorCase{-1, u"未知のｴﾗｰです。"}));

TEST_F(CommonDialog, FileAndPrintDialogsResetErrNumber)
{
    dlg.setForm(&form);
    dlg.setColorChooser([](const cCommonDlg::ColorRequest &) {
        return cCommonDlg::ColorAnswer{false, 0, 32765};
    });
    dlg.ShowColor();
    ASSERT_EQ(dlg.ErrNumber(), 32765);
    dlg.ShowOpen();
    EXPECT_EQ(dlg.ErrNumber(), 0);

    dlg.ShowColor();
    ASSERT_EQ(dlg.ErrNumber(), 32765);
    dlg.setPrinterChooser(
        [](const cCommonDlg::PrinterRequest &) { return cCommonDlg::PrinterAnswer{}; });
    dlg.ShowPrinter();
    EXPECT_EQ(dlg.ErrNumber(), 0);
}

// ---- Color ----

TEST(ColorValues, AreBlueGreenRed)
{
    EXPECT_EQ(colorFromColorref(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(colorrefFromColor(QColor(0x01, 0x02, 0x03)), 0x00030201);
    EXPECT_EQ(colorFromColorref(0x7F0000FF), QColor(0xFF, 0, 0));
}

TEST_F(CommonDialog, ColorGoesInAndTheChoiceComesOut)
{
    dlg.setForm(&form);
    dlg.setColor(0x00336699);
    dlg.setFlags(0x3);
    cCommonDlg::ColorRequest seen;
    dlg.setColorChooser([&seen](const cCommonDlg::ColorRequest &r) {
        seen = r;
        return cCommonDlg::ColorAnswer{true, 0x004080FF, 0};
    });
    dlg.ShowColor();
    EXPECT_EQ(seen.owner, &form);
    EXPECT_EQ(seen.color, 0x00336699);
    EXPECT_EQ(seen.flags, 0x3);
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.Color(), 0x004080FF);
}

TEST_F(CommonDialog, CancelledColorKeepsTheColorAndReports)
{
    dlg.setForm(&form);
    dlg.setColor(0x00112233);
    dlg.setColorChooser([](const cCommonDlg::ColorRequest &) { return cCommonDlg::ColorAnswer{}; });
    dlg.ShowColor();
    EXPECT_TRUE(dlg.CancelButton()); // also with CancelError False
    EXPECT_EQ(dlg.Color(), 0x00112233);
    EXPECT_EQ(dlg.ErrNumber(), 0);
}

TEST_F(CommonDialog, ColorWithoutOwnerFailsWithoutAsking)
{
    bool asked = false;
    dlg.setColorChooser([&asked](const cCommonDlg::ColorRequest &) {
        asked = true;
        return cCommonDlg::ColorAnswer{true, 1, 0};
    });
    dlg.ShowColor();
    EXPECT_FALSE(asked);
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_EQ(dlg.ErrNumber(), kCdlDialogFailure);
    EXPECT_EQ(dlg.ErrDescription(),
              QStringLiteral("関数がダイアログ ボックスをロードできません。"));
}

// ---- Font ----

TEST_F(CommonDialog, FontGoesInAndTheChoiceComesOut)
{
    dlg.setForm(&form);
    dlg.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    dlg.setFontSize(9);
    dlg.setFontBold(true);
    dlg.setFontUnderline(true);
    dlg.setColor(0x000000FF);
    dlg.setMin(6);
    dlg.setMax(72);
    dlg.setFlags(0x100);
    cCommonDlg::FontRequest seen;
    dlg.setFontChooser([&seen](const cCommonDlg::FontRequest &r) {
        seen = r;
        cCommonDlg::FontAnswer a;
        a.accepted = true;
        a.name = QStringLiteral("IPAGothic");
        a.size = 10.6;
        a.italic = true;
        a.strikethru = true;
        a.color = 0x00FF0000;
        return a;
    });
    dlg.ShowFont();

    EXPECT_EQ(seen.owner, &form);
    EXPECT_EQ(seen.name, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(seen.size, 9);
    EXPECT_TRUE(seen.bold);
    EXPECT_FALSE(seen.italic);
    EXPECT_TRUE(seen.underline);
    EXPECT_FALSE(seen.strikethru);
    EXPECT_EQ(seen.color, 0x000000FF);
    EXPECT_EQ(seen.min, 6);
    EXPECT_EQ(seen.max, 72);
    EXPECT_EQ(seen.flags, 0x100 | kCfInitToLogFontStruct);

    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FontName(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(dlg.FontSize(), 11);
    EXPECT_FALSE(dlg.FontBold());
    EXPECT_TRUE(dlg.FontItalic());
    EXPECT_TRUE(dlg.FontStrikethru());
    EXPECT_FALSE(dlg.FontUnderline());
    EXPECT_EQ(dlg.Color(), 0x00FF0000);
}

TEST_F(CommonDialog, FontSizeIsTheRoundedMagnitude)
{
    dlg.setForm(&form);
    double size = 0;
    dlg.setFontChooser([&size](const cCommonDlg::FontRequest &) {
        cCommonDlg::FontAnswer a;
        a.accepted = true;
        a.size = size;
        return a;
    });
    const QList<std::pair<double, qint16>> cases{{9.0, 9}, {10.4, 10}, {-12.0, 12}, {1e6, 32767}};
    for (const auto &[in, out] : cases) {
        size = in;
        dlg.ShowFont();
        EXPECT_EQ(dlg.FontSize(), out) << in;
    }
}

TEST_F(CommonDialog, CancelledFontResetsTheFont)
{
    dlg.setForm(&form);
    dlg.setFontName(QStringLiteral("Serif"));
    dlg.setFontSize(12);
    dlg.setFontBold(true);
    dlg.setFontItalic(true);
    dlg.setFontStrikethru(true);
    dlg.setFontUnderline(true);
    dlg.setColor(0x00123456);
    dlg.setFontChooser([](const cCommonDlg::FontRequest &) {
        cCommonDlg::FontAnswer a;
        a.error = 24574;
        return a;
    });
    dlg.ShowFont();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_EQ(dlg.ErrNumber(), 24574);
    EXPECT_TRUE(dlg.FontName().isEmpty());
    EXPECT_EQ(dlg.FontSize(), 0);
    EXPECT_FALSE(dlg.FontBold() || dlg.FontItalic() || dlg.FontStrikethru() || dlg.FontUnderline());
    EXPECT_EQ(dlg.Color(), 0);
}

// ---- Printer ----

TEST_F(CommonDialog, PrinterValuesGoInAndComeBack)
{
    dlg.setForm(&form);
    dlg.setHdc(77);
    dlg.setFlags(0x2);
    dlg.setFromPage(2);
    dlg.setToPage(5);
    dlg.setMin(1);
    dlg.setMax(9);
    dlg.setCopies(1);
    cCommonDlg::PrinterRequest seen;
    dlg.setPrinterChooser([&seen](const cCommonDlg::PrinterRequest &r) {
        seen = r;
        return cCommonDlg::PrinterAnswer{true, 3, 4, 1, 9, 2};
    });
    dlg.ShowPrinter();
    EXPECT_EQ(seen.owner, &form);
    EXPECT_EQ(seen.hdc, 77);
    EXPECT_EQ(seen.flags, 0x2);
    EXPECT_EQ(seen.fromPage, 2);
    EXPECT_EQ(seen.toPage, 5);
    EXPECT_EQ(seen.min, 1);
    EXPECT_EQ(seen.max, 9);
    EXPECT_EQ(seen.copies, 1);
    EXPECT_EQ(dlg.Action(), CommonDialogAction::Printer);
    EXPECT_FALSE(dlg.CancelButton());
    EXPECT_EQ(dlg.FromPage(), 3);
    EXPECT_EQ(dlg.ToPage(), 4);
    EXPECT_EQ(dlg.Copies(), 2);
}

TEST_F(CommonDialog, CancelledPrinterFollowsCancelError)
{
    dlg.setForm(&form);
    dlg.setFromPage(2);
    dlg.setPrinterChooser(
        [](const cCommonDlg::PrinterRequest &) { return cCommonDlg::PrinterAnswer{}; });
    dlg.ShowPrinter();
    EXPECT_FALSE(dlg.CancelButton());
    dlg.setCancelError(true);
    dlg.ShowPrinter();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_EQ(dlg.FromPage(), 2);
}

// ---- Help ----

TEST_F(CommonDialog, HelpNeedsAFileAndACommand)
{
    dlg.ShowHelp();
    dlg.setHelpFile(QStringLiteral("/prog/help.hlp"));
    dlg.ShowHelp(); // command 0
    EXPECT_TRUE(shell.opened.isEmpty());

    dlg.setHelpFile(QString());
    dlg.setHelpCommand(3);
    dlg.ShowHelp();
    EXPECT_TRUE(shell.opened.isEmpty());

    dlg.setHelpFile(QStringLiteral("/prog/help.hlp"));
    dlg.ShowHelp();
    EXPECT_EQ(shell.opened, QStringList{QStringLiteral("/prog/help.hlp")});
}

TEST_F(CommonDialog, HtmlHelpNeedsOnlyAFile)
{
    dlg.ShowHtmlHelp();
    EXPECT_TRUE(shell.opened.isEmpty());
    dlg.setHtmlHelpFile(QStringLiteral("/prog/doc/index.html"));
    dlg.ShowHtmlHelp();
    EXPECT_EQ(shell.opened, QStringList{QStringLiteral("/prog/doc/index.html")});
}

TEST_F(CommonDialog, HelpKeyIsKeptAsWritten)
{
    dlg.setHelpKey(QStringLiteral("目次"));
    EXPECT_EQ(dlg.HelpKey(), QStringLiteral("目次"));
    dlg.setHelpFile(QStringLiteral("/h.hlp"));
    dlg.setHelpCommand(1);
    dlg.ShowHelp();
    EXPECT_EQ(shell.opened, QStringList{QStringLiteral("/h.hlp")});
}

// ---- Action ----

class ActionDispatch : public CommonDialog
{
protected:
    void SetUp() override
    {
        dlg.setForm(&form);
        dlg.setHelpFile(QStringLiteral("/h.hlp"));
        dlg.setHelpCommand(1);
        dlg.setColorChooser([this](const cCommonDlg::ColorRequest &) {
            shown.append(QStringLiteral("color"));
            return cCommonDlg::ColorAnswer{};
        });
        dlg.setFontChooser([this](const cCommonDlg::FontRequest &) {
            shown.append(QStringLiteral("font"));
            return cCommonDlg::FontAnswer{};
        });
        dlg.setPrinterChooser([this](const cCommonDlg::PrinterRequest &) {
            shown.append(QStringLiteral("printer"));
            return cCommonDlg::PrinterAnswer{};
        });
    }

    QString shownFor(qint16 action)
    {
        shown.clear();
        const auto requests = files.requests.size();
        const auto opened = shell.opened.size();
        dlg.setAction(static_cast<CommonDialogAction>(action));
        if (files.requests.size() > requests)
            shown.append(files.requests.last().save ? QStringLiteral("save")
                                                    : QStringLiteral("open"));
        if (shell.opened.size() > opened)
            shown.append(QStringLiteral("help"));
        return shown.join(u',');
    }

    QStringList shown;
};

TEST_F(ActionDispatch, EachValueShowsItsChooser)
{
    EXPECT_EQ(shownFor(1), QStringLiteral("open"));
    EXPECT_EQ(shownFor(2), QStringLiteral("save"));
    EXPECT_EQ(shownFor(3), QStringLiteral("color"));
    EXPECT_EQ(shownFor(4), QStringLiteral("font"));
    EXPECT_EQ(shownFor(5), QStringLiteral("printer"));
    EXPECT_EQ(shownFor(6), QStringLiteral("help"));
}

TEST_F(ActionDispatch, OtherValuesAreOnlyStored)
{
    for (qint16 action : {0, 7, -1, 100}) {
        EXPECT_EQ(shownFor(action), QString()) << action;
        EXPECT_EQ(static_cast<qint16>(dlg.Action()), action);
    }
}

TEST_F(ActionDispatch, ColorFontAndHelpKeepTheStoredValue)
{
    shownFor(3);
    EXPECT_EQ(dlg.Action(), CommonDialogAction::Color);
    shownFor(6);
    EXPECT_EQ(dlg.Action(), CommonDialogAction::Help);
}

} // namespace
