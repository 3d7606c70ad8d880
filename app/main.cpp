// Scrivlet's entry point: builds the platform services and shows the frame window.

#include "platform/Platform.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtKeyboardState.h"
#include "platform/qt/QtMessageService.h"
#include "platform/qt/QtShell.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace scrivlet;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlet"));
    // Qt's own dialogs (file chooser, buttons of message boxes) speak Japanese like the rest.
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtJapanese);

    QtMessageService messages;
    QtClipboard clipboard;
    QtFileDialogs fileDialogs;
    QtShell shell;
    QtKeyboardState keyboard;
    const Platform platform{messages, clipboard, fileDialogs, shell, keyboard};

    frmMain frame(platform);
    messages.setParentWidget(&frame);
    frame.show();
    frame.Form_Load(QCoreApplication::applicationDirPath(), QCoreApplication::arguments().mid(1));
    return app.exec();
}
