// Starting the program: what the command line opens, what the frame shows, how a new document
// starts.

#include "platform/qt/TerminationSignals.h"
#include "tests/shell/AppDriver.h"

#include <QDialog>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace scrivlet::test {

static QStringList menuTitles(const frmMain &frame)
{
    return mapped(frame.menuBar()->actions(), &QAction::text);
}

TEST(Startup, UntitledWindowsComeFromTheTemplateAndTheirNumbersAreNeverReused)
{
    AppDriver app;
    app.start();
    EXPECT_EQ(app.captions(), QStringList{u"無題1"_s});
    EXPECT_TRUE(app.messages.shown.isEmpty());
    EXPECT_FALSE(gTagList.isEmpty() || gTagList.last().isEmpty()) << "no final empty line";
    // The active document's menus stand in the bar.
    EXPECT_EQ(menuTitles(app.frame()), (QStringList{u"ﾌｧｲﾙ(&F)"_s, u"編集(&E)"_s, u"ﾂｰﾙ(&T)"_s,
                                                    u"ｳｨﾝﾄﾞｳ(&W)"_s, u"ﾍﾙﾌﾟ(&H)"_s}));

    // NewWindow runs no events of its own: a queued request (a page from another instance, a
    // drop) handled inside it would re-enter the frame before the window is complete. The
    // window must still be whole when it returns: active, maximized, laid out, in the tabs.
    bool queuedRan = false;
    QTimer::singleShot(0, app.active(), [&queuedRan] { queuedRan = true; });
    app.frame().NewWindow(QString());
    EXPECT_FALSE(queuedRan);
    ASSERT_EQ(app.windows().size(), 2);
    frmEdit *window = app.active();
    EXPECT_EQ(window, app.windows()[1]);
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    const auto *edit = window->findChild<QWidget *>(u"rtfEdit"_s);
    ASSERT_NE(edit, nullptr);
    EXPECT_GT(edit->width(), 100);
    EXPECT_GT(edit->height(), 50);
    EXPECT_EQ(app.tabs(), (QStringList{u"無題1"_s, u"無題2"_s}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(queuedRan);

    // Closed windows go, and their numbers are never given again.
    app.windows()[0]->closeWindow();
    app.closeActive();
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(menuTitles(app.frame()), (QStringList{u"ﾌｧｲﾙ(&F)"_s, u"ﾂｰﾙ(&T)"_s, u"ﾍﾙﾌﾟ(&H)"_s}));
    app.frame().mnuFile_Click(0);
    app.frame().mnuFile_Click(0);
    EXPECT_EQ(app.captions(), (QStringList{u"無題3"_s, u"無題4"_s}));
    EXPECT_EQ(app.windows()[1]->Tag(), u"Number4"_s);
}

// What each command line opens: the rows tell how they name the pages.
TEST(Startup, CommandLinesOpenTheirPathsInOrder)
{
    for (const DataRow &row : readDataRows(SCRIVLET_TEST_DATA "/startup-command-lines.txt", 3)) {
        SCOPED_TRACE(row[0]);
        AppDriver app;
        QDir(app.pagePath(QString())).mkpath(u"Output"_s);
        for (const char *name : {"a.html", "b b.htm", "Output/a.html"})
            app.writePage(QString::fromUtf8(name), u"<P>%1</P>"_s.arg(name));
        auto resolve = [&app](QStringList args) {
            for (QString &arg : args)
                if (arg.startsWith(u'@'))
                    arg = arg == u"@" ? app.pagePath(QString()) + u'/' : app.pagePath(arg.mid(1));
            return args;
        };
        app.start(resolve(joined(row[1])));
        const QStringList names = joined(row[2]), opened = resolve(names);
        ASSERT_EQ(app.captions(), opened);
        QStringList missing, tabs, history;
        for (qsizetype i = 0; i < opened.size(); ++i) {
            const bool gone = opened[i].endsWith(u"gone.html");
            EXPECT_EQ(app.windows()[i]->control().Text(),
                      gone ? QString() : u"<P>%1</P>"_s.arg(names[i].mid(1)));
            if (gone)
                missing.append(opened[i] + u"を開けませんでした。"_s);
            else
                history.prepend(opened[i]);
            tabs.append(QFileInfo(opened[i]).fileName());
        }
        EXPECT_EQ(app.messages.texts(), missing);
        EXPECT_EQ(menuTitles(app.frame()).size(), opened.isEmpty() ? 3 : 5)
            << "with no document the frame shows its own menus";
        EXPECT_EQ(app.tabs(), tabs) << "each tab names its file";
        EXPECT_EQ(gHistory.mid(0, history.size()), history) << "the newest first";
    }
}

// Read as a path, a name in another code would give an empty window saving to a file the user
// never named, and the next such name would open that file.
TEST(Startup, ANameInAnotherCodeIsSaidNotToOpen)
{
    AppDriver app;
    const QByteArray name("\x93\x8c\x8b\x9e.html"); // 東京 in Shift-JIS
    const QByteArray sjis = QFile::encodeName(app.pagePath(QString())) + '/' + name;
    const int fd = ::open(sjis.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    app.writePage(QFile::decodeName(name), u"decoy"_s); // under the name as read
    const QString page = app.writePage(u"東京.html"_s, u"<P>東京</P>"_s);
    app.start(QList<QByteArray>{sjis, QFile::encodeName(page)});
    EXPECT_EQ(app.captions(), QStringList{page});
    EXPECT_EQ(app.messages.texts(),
              QStringList{QFile::decodeName(sjis) + u"を開けませんでした。"_s});
}

// How a new document starts follows Use of section Template, read at each new window.
TEST(Startup, ANewDocumentStartsAsTheTemplateSettingSays)
{
    AppDriver app;
    app.start({u"/O"_s});
    const QString chosen = app.writePage(u"mine.html"_s, u"<P>型</P>"_s);
    basINI::WriteIniString(u"Template"_s, u"Use"_s, u"1"_s);
    basINI::WriteIniString(u"Template"_s, u"TemplatePass"_s, app.pagePath(QString()));
    app.frame().mnuFile_Click(0);
    ASSERT_EQ(app.windows().size(), 1) << "a cancelled choice still makes a window";
    EXPECT_EQ(app.active()->control().Text(), QString());
    EXPECT_EQ(app.active()->Tag(), u"Number1"_s);
    app.dialogs.willChoose({chosen});
    const QString folder = QDir::currentPath();
    app.frame().mnuFile_Click(0);
    EXPECT_EQ(QDir::currentPath(), folder) << "Save As does not start among the templates";
    ASSERT_EQ(app.dialogs.requests.size(), 2);
    EXPECT_EQ(app.dialogs.requests[1].title, u"ﾃﾝﾌﾟﾚｰﾄの選択"_s);
    EXPECT_EQ(app.dialogs.requests[1].initialDirectory, app.pagePath(QString()));
    EXPECT_EQ(app.active()->control().Text(), u"<P>型</P>"_s);
    EXPECT_EQ(app.active()->windowTitle(), u"無題2"_s) << "it stays untitled";
    EXPECT_FALSE(app.active()->mnuEdit[0]->isEnabled()) << "the template is the baseline";

    // Other values start empty; letters read as the default. The empty text is the baseline too:
    // the first thing typed or pasted can be undone.
    basINI::WriteIniString(u"Template"_s, u"Use"_s, u"2"_s);
    app.frame().mnuFile_Click(0);
    EXPECT_EQ(app.active()->control().Text(), QString());
    app.type(u"ab"_s);
    app.active()->mnuEdit_Click(0);
    app.active()->mnuEdit_Click(0);
    EXPECT_EQ(app.active()->control().Text(), QString());
    basINI::WriteIniString(u"Template"_s, u"Use"_s, u"abc"_s);
    app.frame().mnuFile_Click(0);
    EXPECT_TRUE(app.active()->control().Text().contains(u"<html lang=\"ja\">"_s));
    EXPECT_EQ(app.dialogs.requests.size(), 2);
}

// A kill or a closed terminal reaches the event loop as a request to end, and waits while a
// dialog is up: closing windows inside the dialog's own loop would pull them from under it.
TEST(TerminationSignals, ArriveInTheEventLoopAsOneRequestOnceNoDialogIsOpen)
{
    TerminationSignals termination;
    QList<int> requests;
    QObject::connect(&termination, &TerminationSignals::requested,
                     [&requests](int signal) { requests.append(signal); });
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    std::raise(SIGHUP);
    std::raise(SIGTERM);
    QTest::qWait(300);
    EXPECT_TRUE(requests.isEmpty());
    dialog.close();
    EXPECT_TRUE(QTest::qWaitFor([&requests] { return !requests.isEmpty(); }, 2000));
    EXPECT_EQ(requests, QList<int>{SIGTERM}) << "the two signals are one request";

    // A drag of text runs a loop of its own inside the program's, with no dialog.
    requests.clear();
    QEventLoop program, drag;
    QTimer::singleShot(0, &program, [&] {
        std::raise(SIGINT);
        QTimer::singleShot(300, &drag, &QEventLoop::quit);
        drag.exec();
        EXPECT_TRUE(requests.isEmpty());
        program.quit();
    });
    program.exec();
    EXPECT_TRUE(QTest::qWaitFor([&requests] { return !requests.isEmpty(); }, 2000));
}

} // namespace scrivlet::test
