// What a space typed inside a tag costs in the middle of a 10 MB page: the space handler of the
// completion (the attribute test, placing and filling the list) through the real document view,
// the reading of the page's markup it keeps from one space to the next, and the first reading,
// from the page's start. Then what the rows of the largest tag file cost. Prints the figures and
// checks the bars.

#include "bench/BenchSupport.h"
#include "document/DocumentView.h"
#include "document/SourceTextEdit.h"
#include "editor/IEditControl.h"
#include "editor/SharedText.h"
#include "editor/clsRTF.h"
#include "html/Completion.h"
#include "html/Dictionary.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace scrivlet;
using scrivlet::bench::japanesePage;
using scrivlet::bench::medianMicros;
using namespace scrivlet::test;

namespace {

bench::Bars g_bars;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    for (int k = 0; k < 150; ++k)
        gTagList.append(QStringLiteral("<tag%1>").arg(k));
    for (int k = 0; k < 60; ++k)
        gAttributeList.append(QStringLiteral("attribute%1=\"\"").arg(k));

    const qsizetype size = 10 * 1024 * 1024;
    const QString page = japanesePage(size);
    // Just after "<td" of a cell in the middle: the space opens the general attribute list.
    const int caret = static_cast<int>(page.indexOf(QStringLiteral("<td align="), size / 2) + 3);

    FakeClipboard clipboard;
    FakeMessageService messages;
    clsRTF document(messages, StringConverter{});
    DocumentView view(clipboard);
    view.bindDocument(document);
    view.resize(800, 600);
    view.show();
    IEditControl &control = view.control();
    control.setText(page);
    control.setSelStart(caret);
    html::CompletionController &completion = view.completion();

    std::printf("A space inside a tag in the middle of a 10 MB page (%lld units), microseconds\n",
                static_cast<long long>(control.TextLength()));
    // The handler alone, the space not inserted, so that every run sees the same text.
    const double handler = bench::medianMicrosOf(200, [&] {
        int code = html::keys::Space;
        completion.rtfEdit_KeyPress(code);
    });
    const double first = bench::medianMicrosOf(9, [&] {
        html::CaretMarkup fresh;
        fresh.startTagNameAt(control.TextSnapshot(), caret);
    });
    std::printf("  space handler, attribute test included (median): %10.1f\n", handler);
    std::printf("  first space after opening: the page read to it : %10.1f\n", first);
    if (html::CaretMarkup().startTagNameAt(control.TextSnapshot(), caret) != QStringLiteral("td")) {
        std::printf("  the caret is not read as standing in the <td> tag\n");
        g_bars.fail();
    }
    g_bars.check(handler < 2000.0, "10 MB: the space handler takes under 2 ms (median)");
    g_bars.check(first < 100000.0, "10 MB: the first space, reading 5 MB, takes under 0.1 s");
    // A page of 150,000 comments, read to its end: each comment's end is looked for no further
    // than the comment itself.
    const SharedText comments(QStringLiteral("<!-- note -->\r\n").repeated(150000) +
                              QStringLiteral("<td "));
    const double commented = bench::medianMicrosOf(
        3, [&] { html::CaretMarkup().startTagNameAt(comments, comments.length()); });
    std::printf("  first space after 150,000 comments (2.2 MB)   : %10.1f\n", commented);
    g_bars.check(commented < 100000.0, "150,000 comments: the first space takes under 0.1 s");

    // The whole keystroke as the user makes it, the widget inserting the space.
    {
        control.setSelStart(caret);
        const double keystroke = bench::medianMicrosOf(50, [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(view.textEdit(), &press);
        });
        std::printf("  whole space keystroke through the widget       : %10.1f\n", keystroke);
    }

    // The attribute rows of a tag file naming the most rows a file may name.
    {
        QTemporaryDir programDir;
        QDir(programDir.path()).mkpath(QStringLiteral("HTML/Tag"));
        QByteArray file = "[Attribute]\r\nAttributes=32767\r\n";
        for (int k = 1; k <= 32767; ++k)
            file += QByteArray::number(k) + "=attribute" + QByteArray::number(k) + "\r\n";
        QFile tag(programDir.filePath(QStringLiteral("HTML/Tag/big.tag")));
        tag.open(QIODevice::WriteOnly);
        tag.write(file);
        tag.close();
        QElapsedTimer timer;
        timer.start();
        const html::AttributeRows rows = html::attributeRowsForTag(
            QStringLiteral("big"), programDir.path() + u'/', programDir.filePath("none.ini"));
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("  attribute rows of a tag file of 32,767 rows     : %10.1f ms (%lld rows)\n",
                    ms, static_cast<long long>(rows.rows.size()));
        g_bars.check(rows.rows.size() == 32767 && ms < 500.0,
                     "a tag file of 32,767 rows gives its rows in under 0.5 s");
    }

    return g_bars.exitCode();
}
