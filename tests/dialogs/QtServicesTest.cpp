// The Qt services' pure parts: the file dialog's set-up and the shell's URLs. No dialog is
// executed.

#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtShell.h"
#include "tests/common/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace scrivlet;

namespace {

using Pairs = QList<std::pair<QString, QString>>;

const Pairs kHtmlPairs{
    {QStringLiteral("HTML Files (*.htm,*.html,*.shtml)"), QStringLiteral("*.htm;*.html;*.shtml")},
    {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}};

TEST(QtFileDialogFilters, PatternsAreSeparatedByBlanks)
{
    EXPECT_EQ(
        QtFileDialogs::nameFilters(kHtmlPairs),
        (QStringList{QStringLiteral("HTML Files (*.htm,*.html,*.shtml) (*.htm *.html *.shtml)"),
                     QStringLiteral("All Files (*.*) (*)")}));
}

TEST(QtFileDialogFilters, BlanksAndEmptyPatternsAreDropped)
{
    EXPECT_EQ(
        QtFileDialogs::nameFilters({{QStringLiteral("Text"), QStringLiteral(" *.txt ; ;*.TXT")},
                                    {QStringLiteral("None"), QStringLiteral(";")}}),
        (QStringList{QStringLiteral("Text (*.txt *.TXT)"), QStringLiteral("None (*)")}));
}

FileDialogRequest openRequest()
{
    FileDialogRequest r;
    r.title = QStringLiteral("開く");
    r.filters = kHtmlPairs;
    r.multiSelect = true;
    r.pathMustExist = true;
    return r;
}

// Qt reads the patterns back out of the filter texts; what it filters with is what counts.
TEST(QtFileDialogSetUp, QtFiltersWithTheCallersPatterns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileDialogRequest r = openRequest();
    r.initialDirectory = dir.path();

    QFileDialog dialog;
    QtFileDialogs::configure(dialog, r);
    auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->nameFilters(), (QStringList{QStringLiteral("*.htm"), QStringLiteral("*.html"),
                                                 QStringLiteral("*.shtml")}));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("開く"));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);

    // The list shows each description as the caller wrote it.
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), QStringLiteral("HTML Files (*.htm,*.html,*.shtml)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("All Files (*.*)"));
}

TEST(QtFileDialogSetUp, SecondFilterSelectsEveryFile)
{
    FileDialogRequest r = openRequest();
    r.filterIndex = 1;
    QFileDialog dialog;
    QtFileDialogs::configure(dialog, r);
    auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->nameFilters(), QStringList{QStringLiteral("*")});
}

TEST(QtFileDialogSetUp, SingleOpenAndSave)
{
    FileDialogRequest r = openRequest();
    r.multiSelect = false;
    QFileDialog single;
    QtFileDialogs::configure(single, r);
    EXPECT_EQ(single.fileMode(), QFileDialog::ExistingFile);

    r.save = true;
    r.defaultSuffix = QStringLiteral("html");
    QFileDialog save;
    QtFileDialogs::configure(save, r);
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.fileMode(), QFileDialog::AnyFile);
    EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(save.defaultSuffix(), QStringLiteral("html"));

    r.promptOverwrite = true;
    QFileDialog prompting;
    QtFileDialogs::configure(prompting, r);
    EXPECT_FALSE(prompting.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtShellUrls, PathsBecomeLocalFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("a b.html"));
    EXPECT_EQ(QtShell::urlFor(file), QUrl::fromLocalFile(file));
    EXPECT_EQ(
        QtShell::urlFor(QStringLiteral("doc/index.html")),
        QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("doc/index.html"))));
    EXPECT_TRUE(QtShell::urlFor(QStringLiteral("C:\\web\\a.html")).isLocalFile());
}

TEST(QtShellUrls, UrlsStayUrls)
{
    EXPECT_EQ(QtShell::urlFor(QStringLiteral("http://example.com/dl/")),
              QUrl(QStringLiteral("http://example.com/dl/")));
    EXPECT_EQ(QtShell::urlFor(QStringLiteral("mailto:someone@example.com")).scheme(),
              QStringLiteral("mailto"));
    EXPECT_TRUE(QtShell::urlFor(QString()).isEmpty());
}

TEST(QtShellPrograms, EmptyProgramIsNotStarted)
{
    QtShell shell;
    EXPECT_FALSE(shell.startProgram(QString(), {}));
}

} // namespace
