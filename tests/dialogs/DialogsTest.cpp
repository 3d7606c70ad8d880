// The common-dialog object at the level of its properties: scripted file dialogs, choosers and
// shell stand in for the real ones, so no box ever opens. Then the Qt services' pure parts behind
// them: the file dialog's set-up and the shell's URLs; no dialog is executed. Last the About box
// through its real widgets: the lines from the build, the two links and their failures, and its
// looks (opening from the Help menu and closing with Enter: ToolHelpMenusTest).

#include "dialogs/cCommonDlg.h"
#include "dialogs/frmAbout.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtShell.h"
#include "tests/common/DataRows.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"
#include "tests/dialogs/CaptionTable.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using Pairs = QList<std::pair<QString, QString>>;

// "|" stands for NUL.
QString nul(QString text)
{
    return text.replace(u'|', QChar(u'\0'));
}

class CommonDialog : public ::testing::Test
{
protected:
    // The way the windows set the object up before an open or save dialog.
    void SetUp() override
    {
        dlg.setForm(&form);
        dlg.setDialogTitle(u"開く"_s);
        dlg.setFilter(QStringLiteral("HTML Files (*.htm,*.html,*.shtml)|*.htm;*.html;*.shtml|"
                                     "All Files (*.*)|*.*"));
        dlg.setFilterIndex(1);
        dlg.setFlags(2624004);
        dlg.setInitDir(u"/work/site"_s);
        dlg.setCancelError(true);
    }
    // A chosen file moves the process to its folder; the other suites keep the one they had.
    void TearDown() override { QDir::setCurrent(cwd); }
    void open(const QStringList &chosen)
    {
        files.willChoose(chosen);
        dlg.ShowOpen();
    }

    const QString cwd = QDir::currentPath();
    FakeFileDialogs files;
    FakeShell shell;
    QWidget form;
    cCommonDlg dlg{files, shell};
};

// The platform's list ends at its first empty string; a description without a pattern is no
// entry.
TEST_F(CommonDialog,
       FilterBecomesNulSeparatedAndTheDialogGetsTheEntriesBeforeAnEmptyPartFromTheIndex)
{
    for (const DataRow &row : readDataRows(SCRIVLET_DIALOGS_DATA "/common-dialog-filters.txt", 3)) {
        dlg.setFilter(field(row, 0));
        dlg.ShowOpen();
        EXPECT_EQ(dlg.convertedFilter(), nul(field(row, 1)));
        const QString entry = field(row, 2);
        const Pairs pairs{{entry.section(u'|', 0, 0), entry.section(u'|', 1)}};
        EXPECT_EQ(files.requests.last().filters, entry.isEmpty() ? Pairs() : pairs) << row[0];
    }
    // FilterIndex counts from 1 and falls back to the first entry.
    dlg.setFilter(u"A|*.a|B|*.b"_s);
    for (const auto &[index, expected] : {std::pair{0, 0}, {1, 0}, {2, 1}, {3, 0}, {-1, 0}}) {
        dlg.setFilterIndex(qint16(index));
        dlg.ShowOpen();
        EXPECT_EQ(files.requests.last().filterIndex, expected) << "FilterIndex " << index;
    }
}

// The initial name is cut to the buffer and, after several files, to the folder.
TEST_F(CommonDialog, TheWindowsAskForAMultiSelectOpenAndSeveralFilesComeBackAfterNuls)
{
    dlg.setFileName(nul(u"/work|a.html"_s));
    dlg.ShowOpen();
    const FileDialogRequest &r = files.requests.last();
    EXPECT_EQ(std::tuple(r.owner, r.title, r.filterIndex, r.initialDirectory, r.fileName),
              std::tuple(&form, u"開く"_s, 0, u"/work/site"_s, u"/work"_s));
    EXPECT_EQ(r.filters, (Pairs{{u"HTML Files (*.htm,*.html,*.shtml)"_s, u"*.htm;*.html;*.shtml"_s},
                                {u"All Files (*.*)"_s, u"*.*"_s}}));
    EXPECT_TRUE(r.multiSelect && r.pathMustExist && !r.save && !r.promptOverwrite);

    // Several files come back as the folder and the names after NULs.
    const QStringList site{u"/work/site/a.html"_s, u"/work/site/b.htm"_s};
    open(site);
    EXPECT_EQ(std::tuple(dlg.FileName(), dlg.FileNames(), dlg.FileTitle()),
              std::tuple(nul(u"/work/site|a.html|b.htm"_s), site, u"a.html"_s));
    open({u"/a"_s, u"/b"_s});
    EXPECT_EQ(std::pair(dlg.FileName(), dlg.FileNames()),
              std::pair(nul(u"/|a|b"_s), QStringList{u"/a"_s, u"/b"_s}));
    // "/w|a|b" takes 6 characters and two closing NULs.
    for (const int size : {8, 7}) {
        dlg.setMaxFileSize(size);
        open({u"/w/a"_s, u"/w/b"_s});
        EXPECT_EQ(dlg.CancelButton(), size == 7);
        EXPECT_EQ(dlg.FileNames(), (size == 8 ? QStringList{u"/w/a"_s, u"/w/b"_s} : QStringList()));
    }

    dlg.setFlags(ofn::OverwritePrompt | ofn::FileMustExist);
    dlg.setFileName(u"/work/a.html"_s); // the last, cancelled, open emptied it
    dlg.setMaxFileSize(4);
    dlg.ShowSave();
    const FileDialogRequest &s = files.requests.last();
    EXPECT_EQ(s.fileName, u"/wo"_s);
    EXPECT_TRUE(s.save && s.promptOverwrite && s.pathMustExist && !s.multiSelect);
}

// The next dialog that starts in the current directory starts where the last file was chosen.
TEST_F(CommonDialog, AChosenFileMakesItsFolderTheCurrentDirectoryUnlessTheFlagsSayNot)
{
    QTemporaryDir site, other;
    open({site.filePath(u"a.html"_s)});
    EXPECT_EQ(QDir::currentPath(), QDir(site.path()).canonicalPath());
    dlg.ShowSave();
    EXPECT_EQ(QDir::currentPath(), QDir(site.path()).canonicalPath()) << "a cancel stays";
    dlg.setFlags(2624004 | ofn::NoChangeDir);
    open({other.filePath(u"b.html"_s)});
    EXPECT_EQ(QDir::currentPath(), QDir(site.path()).canonicalPath());
}

// An answer that does not fit, or no dialog at all, is a cancel: the earlier answer must not
// pass for it. With CancelError False a cancel changes nothing; a confirm always clears
// CancelButton.
TEST_F(CommonDialog, AnOverlongAnswerOrAClosedOwnerIsACancelAndCancelErrorDecidesItsEffect)
{
    dlg.setMaxFileSize(10);
    open({u"/abcdefgh"_s}); // 9 characters and the NUL: fits
    EXPECT_EQ(dlg.FileName(), u"/abcdefgh"_s);
    open({u"/abcdefghi"_s});
    EXPECT_EQ(std::pair(dlg.CancelButton(), dlg.FileNames()), std::pair(true, QStringList()));
    EXPECT_EQ(dlg.ErrNumber(), kCdlBufferTooSmall);
    open({u"/a.html"_s});
    dlg.setForm(std::make_unique<QWidget>().get()); // an owner closed since
    dlg.ShowOpen();
    EXPECT_EQ(files.requests.size(), 3);
    EXPECT_EQ(std::pair(dlg.CancelButton(), dlg.FileName()), std::pair(true, QString()));

    dlg.setForm(&form);
    for (const bool cancelError : {true, false}) {
        dlg.setCancelError(cancelError);
        open({u"/w/a.html"_s});
        EXPECT_EQ(std::tuple(dlg.CancelButton(), dlg.FileNames(), dlg.FileTitle()),
                  std::tuple(false, QStringList{u"/w/a.html"_s}, u"a.html"_s));
        open({});
        EXPECT_EQ(std::pair(dlg.CancelButton(), dlg.FileName()),
                  std::pair(cancelError, cancelError ? QString() : u"/w/a.html"_s));
        open({u"/w/b.html"_s});
        EXPECT_EQ(std::pair(dlg.CancelButton(), dlg.FileName()), std::pair(false, u"/w/b.html"_s));
    }
}

// Colours are blue-green-red; an error is named after the last one.
TEST_F(CommonDialog, ColorsFontsAndErrorsComeBackAsTheChoosersAnswer)
{
    EXPECT_EQ(colorFromColorref(0x7F336699), QColor(0x99, 0x66, 0x33)); // top byte ignored
    EXPECT_EQ(colorrefFromColor(colorFromColorref(0x00010203)), 0x00010203);
    dlg.setColor(0x00336699);
    dlg.setColorChooser([](const cCommonDlg::ColorRequest &r) {
        return cCommonDlg::ColorAnswer{r.color == 0x00336699, 0x004080FF, 0};
    });
    dlg.ShowColor();
    EXPECT_EQ(dlg.Color(), 0x004080FF);
    for (const DataRow &row : readDataRows(SCRIVLET_DIALOGS_DATA "/common-dialog-errors.txt", 2)) {
        const qint32 number = std::stoi(row[0]);
        dlg.setColorChooser([number](auto) { return cCommonDlg::ColorAnswer{false, 0, number}; });
        dlg.ShowColor();
        EXPECT_EQ(std::pair(dlg.ErrNumber(), dlg.ErrDescription()),
                  std::pair(number, field(row, 1)));
    }
    dlg.ShowOpen();
    EXPECT_EQ(dlg.ErrNumber(), 0) << "a file dialog starts without an error";

    // The font size comes out rounded; a cancel resets the font.
    cCommonDlg::FontAnswer answer{.accepted = true, .name = "IPA", .size = 10.6, .color = 0xFF};
    dlg.setFontChooser([&answer](auto) { return answer; });
    dlg.ShowFont();
    EXPECT_EQ(std::tuple(dlg.FontName(), dlg.FontSize(), dlg.Color()),
              std::tuple(u"IPA"_s, 11, 0xFF));

    answer = {};
    answer.error = 24574;
    dlg.setFontBold(true);
    dlg.setFontUnderline(true);
    dlg.ShowFont();
    EXPECT_EQ(std::pair(dlg.CancelButton(), dlg.ErrNumber()), std::pair(true, 24574));
    EXPECT_EQ(std::tuple(dlg.FontName(), dlg.FontSize(), dlg.Color()), std::tuple(QString(), 0, 0));
    EXPECT_FALSE(dlg.FontBold() || dlg.FontItalic() || dlg.FontStrikethru() || dlg.FontUnderline());
}

// Help needs a file and a command, HTML help only a file.
TEST_F(CommonDialog, HelpAndActionShowWhatTheyName)
{
    const QString hlp = u"/h.hlp"_s;
    for (const auto &[file, command, opens] :
         {std::tuple{hlp, 3, true}, {hlp, 0, false}, {QString(), 3, false}}) {
        shell.opened.clear();
        dlg.setHelpFile(file);
        dlg.setHelpCommand(command);
        dlg.ShowHelp();
        EXPECT_EQ(shell.opened.size(), opens ? 1 : 0) << file.toStdString() << command;
    }
    for (const QString &file : {QString(), u"/doc/index.html"_s}) {
        dlg.setHtmlHelpFile(file);
        dlg.ShowHtmlHelp();
    }
    EXPECT_EQ(shell.opened, QStringList{u"/doc/index.html"_s});

    // Action stores the value and shows the chooser it names; each chooser notes it and cancels.
    dlg.setHelpFile(hlp);
    QString shown;
    dlg.setColorChooser([&](auto) { return shown = "color", cCommonDlg::ColorAnswer{}; });
    dlg.setFontChooser([&](auto) { return shown = "font", cCommonDlg::FontAnswer{}; });
    dlg.setPrinterChooser([&](auto) { return shown = "printer", cCommonDlg::PrinterAnswer{}; });
    // What each Action shows; 0 and anything past 6 show nothing.
    const QStringList names{{},        u"open"_s,    u"save"_s, u"color"_s,
                            u"font"_s, u"printer"_s, u"help"_s};
    for (const int action : {1, 2, 3, 4, 5, 6, 0, 7, -1}) {
        shown.clear();
        const auto requests = files.requests.size();
        const auto opened = shell.opened.size();
        dlg.setAction(CommonDialogAction(action));
        if (files.requests.size() > requests)
            shown = files.requests.last().save ? "save" : "open";
        if (shell.opened.size() > opened)
            shown = "help";
        EXPECT_EQ(shown, names.value(action)) << action;
        EXPECT_EQ(int(dlg.Action()), action);
    }
}

// The filter texts name the patterns, blank-separated, empty ones dropped; Qt reads the patterns
// back out of them, and what it filters with is what counts. Overwriting is confirmed only when
// the caller asks for it.
TEST(QtFileDialogSetUp, ModesFilterTextsAndTheChosenEntrysPatterns)
{
    FileDialogRequest r;
    r.filters = {{u"HTML (*.htm,*.html)"_s, u"*.htm;*.html"_s},
                 {u"All Files (*.*)"_s, u"*.*"_s},
                 {u"Text"_s, u" *.txt ; ;*.TXT"_s},
                 {u"None"_s, u";"_s}};
    for (const auto &[save, multiSelect, prompt, mode, index, patterns] :
         {std::tuple{false, true, false, QFileDialog::ExistingFiles, 0,
                     QStringList{u"*.htm"_s, u"*.html"_s}},
          {false, false, false, QFileDialog::ExistingFile, 1, QStringList{u"*"_s}},
          {true, false, false, QFileDialog::AnyFile, 2, QStringList{u"*.txt"_s, u"*.TXT"_s}},
          {true, false, true, QFileDialog::AnyFile, 3, QStringList{u"*"_s}}}) {
        r.save = save;
        r.multiSelect = multiSelect;
        r.promptOverwrite = prompt;
        r.filterIndex = index;
        QFileDialog dialog;
        QtFileDialogs::configure(dialog, r);
        EXPECT_EQ(dialog.nameFilters(),
                  (QStringList{u"HTML (*.htm,*.html) (*.htm *.html)"_s, u"All Files (*.*) (*)"_s,
                               u"Text (*.txt *.TXT)"_s, u"None (*)"_s}));
        EXPECT_EQ(dialog.fileMode(), mode);
        EXPECT_EQ(dialog.acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.testOption(QFileDialog::DontConfirmOverwrite), save && !prompt);
        // The patterns Qt filters with live in its own file-system model, which no public
        // call returns; without one the check cannot be made and says so.
        const auto *model = dialog.findChild<QFileSystemModel *>();
        ASSERT_NE(model, nullptr) << "the dialog holds no file-system model to read patterns from";
        EXPECT_EQ(model->nameFilters(), patterns);
    }
    // No starting folder is the current directory, not one Qt showed before.
    QTemporaryDir elsewhere;
    QFileDialog dialog(nullptr, QString(), elsewhere.path());
    QtFileDialogs::configure(dialog, FileDialogRequest{});
    EXPECT_EQ(dialog.directory().absolutePath(), QDir::currentPath());
}

// A typed name with a quote in it is one name, to save or to open: Qt alone reads quotes as the
// marks around several names, saved into another folder under part of the name, and opened
// another file. A name to open that names no file is said to be missing. Several files listed
// as the dialog lists a selection open, a name with quotes among them.
TEST(QtFileDialogSetUp, ATypedNameWithQuotesIsSavedOrOpenedUnderThatName)
{
    QTemporaryDir dir;
    for (const char *name : {"q\"double.html", "double.html"})
        writeFile(dir.filePath(QString::fromUtf8(name)).toStdString(), "");
    QtFileDialogs dialogs;
    FileDialogRequest request;
    request.initialDirectory = dir.path();
    request.multiSelect = true;
    const QString list = u"\"q\"double.html\" \"double.html\""_s;
    for (const auto &[typed, save, chosen] :
         {std::tuple{u"q\"double.html"_s, false, QStringList{u"q\"double.html"_s}},
          {u"zz\"double.html"_s, false, QStringList()},
          {u"new\"q.html"_s, true, QStringList{u"new\"q.html"_s}},
          {dir.filePath(u"say \"hi\".html"_s), true, QStringList{u"say \"hi\".html"_s}},
          {list, false, QStringList{u"q\"double.html"_s, u"double.html"_s}}}) {
        request.save = save;
        QString said;
        QTimer::singleShot(0, [typed, &said] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *edit = dialog ? dialog->findChild<QLineEdit *>(u"fileNameEdit"_s) : nullptr;
            if (!edit)
                return dialog ? dialog->reject() : void();
            // Typed: Qt rewrites the field from the names it selects only when it has no focus.
            QApplication::setActiveWindow(dialog);
            edit->setFocus();
            edit->setText(typed);
            QTimer::singleShot(0, dialog, [dialog, &said] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    said = box->text(), box->reject();
                dialog->reject();
            });
            QMetaObject::invokeMethod(dialog, &QDialog::accept);
        });
        EXPECT_EQ(dialogs.choose(request).files,
                  mapped(chosen, [&dir](const QString &name) { return dir.filePath(name); }));
        EXPECT_EQ(said.startsWith(typed), chosen.isEmpty()) << said.toStdString();
    }
}

// The template folder's chooser starts where the field points, or as near to it as exists.
TEST(QtFileDialogSetUp, AFolderChooserStartsAtTheNearestFolderThatExists)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"サイト 1"_s);
    const QString site = dir.filePath(u"サイト 1"_s);
    writeFile(site.toStdString() + "/a.html", "");
    for (const auto &[start, expected] : {std::pair{site, site},
                                          {site + u"/a.html"_s, site},
                                          {site + u"/gone/deeper"_s, site},
                                          {QString(), QDir::rootPath()}})
        EXPECT_EQ(QtFileDialogs::nearestFolder(start), expected) << start.toStdString();
}

// A quick failure of the desktop's opener is reported and a handler still running is not.
TEST(QtShell, PathsBecomeLocalFilesUrlsStayUrlsAndOnlyWhatCanBeOpenedIsReportedOpened)
{
    const QString cwd = QDir::currentPath() + u'/';
    EXPECT_EQ(QtShell::urlFor(u"/tmp/a b.html"_s), QUrl::fromLocalFile(u"/tmp/a b.html"_s));
    EXPECT_EQ(QtShell::urlFor(u"doc/index.html"_s), QUrl::fromLocalFile(cwd + "doc/index.html"));
    EXPECT_EQ(QtShell::urlFor(u"C:\\web\\a.html"_s), QUrl::fromLocalFile(cwd + "C:\\web\\a.html"));
    EXPECT_EQ(QtShell::urlFor(u"http://example.com/dl/"_s), QUrl(u"http://example.com/dl/"_s));
    EXPECT_EQ(QtShell::urlFor(QString()), QUrl());

    // A stand-in xdg-open first in PATH: what it does decides what the shell reports.
    QTemporaryDir bin;
    const QString log = bin.filePath(u"log"_s);
    const QString oldPath = qEnvironmentVariable("PATH");
    qputenv("PATH", QFile::encodeName(bin.path() + u':' + oldPath));
    QtShell waiting(300);
    // Taken by the desktop, no handler found, a browser in the foreground.
    for (const auto &[body, expected] :
         {std::pair{"exit 3", false}, {"sleep 2", true}, {"exit 0", true}}) {
        const QString script = bin.filePath(u"xdg-open"_s);
        writeFile(script.toStdString(), "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                                            log.toStdString() + "'\n" + body + "\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(waiting.openWithDefault(u"https://example.org/a b"_s), expected) << body;
    }
    // A missing file or nothing is not handed to the desktop, which would take it.
    EXPECT_FALSE(waiting.openWithDefault(u"/nonexistent-folder/doc/index.html"_s));
    EXPECT_FALSE(waiting.openWithDefault(QString()));
    qputenv("PATH", QFile::encodeName(oldPath));
    EXPECT_EQ(readFile(log.toStdString()),
              QByteArray("https://example.org/a%20b\n").repeated(3).toStdString());
}

class AboutBox : public ::testing::Test
{
protected:
    FakeShell shell;
    FakeMessageService messages;
    QWidget owner;
    frmAbout *box = nullptr;

    void SetUp() override
    {
        owner.show();
        box = frmAbout::ShowModal(shell, messages, &owner);
    }
    QLabel *control(const char *name) { return box->findChild<QLabel *>(QLatin1String(name)); }
};

TEST_F(AboutBox, ShowsTheBuildAndItsLinksOpenTheHomePageAndAMailOrSayWhyNot)
{
    expectCaptions(box, "about");
    EXPECT_EQ(control("lblVersion")->text(), QStringLiteral(SCRIVLET_EXPECTED_VERSION_LINE));
    EXPECT_EQ(control("lblCopyright")->text(), QStringLiteral(SCRIVLET_EXPECTED_COPYRIGHT));
    // Minor and revision run together.
    EXPECT_EQ(frmAbout::VersionLine(2, 1, 1), u"Scrivlet Version2.11"_s);
    EXPECT_EQ(frmAbout::VersionLine(10, 0, 12), u"Scrivlet Version10.012"_s);
    EXPECT_FALSE(control("Image1")->pixmap().isNull());
    for (const char *name : {"lblHomePage", "lblMail"}) {
        const QLabel *link = control(name);
        EXPECT_EQ(std::tuple(link->font().underline(), link->font().pointSize(),
                             link->font().families().value(0),
                             link->palette().color(QPalette::WindowText)),
                  std::tuple(true, 9, u"ＭＳ Ｐゴシック"_s, QColor(Qt::blue)))
            << name;
    }

    // Clicked links open the home page and a mail, or say why not.
    QTest::mouseClick(control("lblHomePage"), Qt::LeftButton);
    QTest::mouseClick(control("lblMail"), Qt::LeftButton);
    QTest::mouseClick(control("lblMail"), Qt::RightButton);
    // The keyboard starts on OK; Tab reaches the links, and Space or Enter opens them.
    ASSERT_TRUE(QTest::qWaitForWindowActive(box));
    for (const auto &[name, key] :
         {std::pair{"lblHomePage", Qt::Key_Space}, {"lblMail", Qt::Key_Return}}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), control(name));
        QTest::keyClick(control(name), key);
    }
    const QString home = u"https://www.example.org/scrivlet/"_s,
                  mail = u"mailto:scrivlet@example.org"_s;
    EXPECT_EQ(shell.opened, (QStringList{home, mail, home, mail}));

    shell.succeeds = false;
    QTest::mouseClick(control("lblHomePage"), Qt::LeftButton);
    QTest::mouseClick(control("lblMail"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), (QStringList{u"Webサイトを表示できませんでした"_s,
                                             u"メーラーを起動できませんでした。"_s}));
    for (const auto &shown : messages.shown)
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
    EXPECT_TRUE(box->isVisible()) << "a failed link leaves the box open";
}

} // namespace
} // namespace scrivlet::test
