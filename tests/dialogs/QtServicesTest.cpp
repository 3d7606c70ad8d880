// The Qt services' pure parts: the file dialog's set-up and the shell's URLs. No dialog is
// executed.

#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtShell.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

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

} // namespace
} // namespace scrivlet::test
