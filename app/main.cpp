// Scrivlet's entry point. For now it opens one editor bound to an editor document, so that the
// editing core can be tried by hand; the frame window takes its place as it grows.

#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "editor/clsRTF.h"
#include "html/ConvString.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtMessageService.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

using namespace scrivlet;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlet"));

    QtMessageService messages;
    QtClipboard clipboard;

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Scrivlet"));
    auto *rtfEdit = new SourceTextEdit(&window);
    rtfEdit->setObjectName(QStringLiteral("rtfEdit"));
    window.setCentralWidget(rtfEdit);
    messages.setParentWidget(&window);

    PlainTextEditAdapter control(rtfEdit, clipboard);
    clsRTF doc(messages, html::ConvString);
    doc.Init(&control);
    control.setText(QStringLiteral("<HTML>\r\n<BODY>\r\nこんにちは\r\n</BODY>\r\n</HTML>\r\n"));
    doc.InitVariable();

    QMenu *edit = window.menuBar()->addMenu(QStringLiteral("編集(&E)"));
    QAction *undo = edit->addAction(QStringLiteral("元に戻す(&U)"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = edit->addAction(QStringLiteral("やり直し(&R)"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    auto updateMenu = [&] {
        undo->setEnabled(doc.GetClctUndoCount() > 1);
        redo->setEnabled(doc.GetClctRedoCount() > 0);
    };
    QObject::connect(undo, &QAction::triggered, &doc, [&] {
        doc.Undo();
        updateMenu();
    });
    QObject::connect(redo, &QAction::triggered, &doc, [&] {
        doc.Redo();
        updateMenu();
    });
    QObject::connect(&control, &IEditControl::Change, &doc, [&] {
        if (doc.IsTextChange())
            updateMenu();
    });
    updateMenu();

    window.resize(681, 490);
    window.show();
    return app.exec();
}
