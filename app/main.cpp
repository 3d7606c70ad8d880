// Scrivlet's entry point: builds the platform services and shows the frame window, or, started
// by the file manager for a verb, hands the file to an instance and ends.

#include "files/basFile.h"
#include "options/DesktopEntries.h"
#include "options/RegistryStore.h"
#include "options/ShellExec.h"
#include "platform/Platform.h"
#include "platform/qt/InputMethodEchoFilter.h"
#include "platform/qt/LocalSocketChannel.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessageService.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/TerminationSignals.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QTranslator>

#include <csignal>
#include <cstring>

using namespace scrivlet;

namespace {

// scrivlet --shell-exec <class> <verb> <file>: what the desktop entry of a verb runs. Needs no
// display.
int shellExec(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QStringList unreadable;
    if (args.size() != 5 || basFile::PathsFromArguments({argv[4]}, &unreadable).isEmpty())
        return 2;
    options::RegistryStore store(options::RegistryStore::DefaultFileName());
    LocalSocketChannel channel(QString(), LocalSocketChannel::defaultRuntimeDir());
    return options::ShellExec(
        store, channel,
        [](const QString &program, const QStringList &arguments) {
            return QProcess::startDetached(program, arguments);
        },
        args[2], args[3], QFileInfo(args[4]).absoluteFilePath());
}

} // namespace

int main(int argc, char *argv[])
{
    // Past a file-size limit (ulimit -f) the kernel ends a writing process, here with every
    // unsaved page. Ignored, the write fails instead, and the save says so with the old file kept.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc > 1 && std::strcmp(argv[1], "--shell-exec") == 0)
        return shellExec(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlet"));
    // The frame, the document windows and the dialogs show the program's own icon, the one its
    // desktop entry shows, instead of Qt's.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/scrivlet.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("scrivlet"));
    // Qt's own dialogs (file chooser, buttons of message boxes) speak Japanese like the rest.
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtJapanese);

    QtMessageService messages;
    QtClipboard clipboard;
    QtFileDialogs fileDialogs;
    QtShell shell;
    options::RegistryStore registry(options::RegistryStore::DefaultFileName());
    // Every change of the verbs shows in the file manager at once.
    const QString program = QCoreApplication::applicationFilePath();
    registry.setChangeHook([&registry, program](quint32 root) {
        return root != hkey::ClassesRoot ||
               options::ProjectShellVerbs(registry, options::DesktopPlaces::fromEnvironment(),
                                          program);
    });
    // The service is the executable's name, as the verb's command starts it.
    LocalSocketChannel instances(QFileInfo(program).completeBaseName(),
                                 LocalSocketChannel::defaultRuntimeDir());
    const Platform platform{messages, clipboard, fileDialogs, shell, &registry, &instances};

    frmMain frame(platform);
    messages.setParentWidget(&frame);
    // A kill, a closed terminal or the session's end closes the frame as its Exit does: each
    // unsaved page is asked about, and the recent files and search strings are written.
    TerminationSignals termination;
    InputMethodEchoFilter inputMethodEchoes;
    app.installEventFilter(&inputMethodEchoes);
    QObject::connect(&termination, &TerminationSignals::requested, &frame, &QWidget::close);
    frame.show();
    // The arguments as the system gave them, Qt's own options taken out by QApplication.
    const QList<QByteArray> given(argv + 1, argv + argc);
    QStringList unreadable;
    const QStringList arguments = basFile::PathsFromArguments(given, &unreadable);
    if (!frame.Form_Load(QCoreApplication::applicationDirPath(), arguments, unreadable))
        return 0;
    return app.exec();
}
