// What a keystroke, an Undo, a Redo and a Backspace cost in the editor document, through the
// real text widget, beside the literal copy-per-step history; what the history holds; what a
// failed search costs; what a page of one long line costs while the program rests. Prints a
// table and checks the bars.

#include "bench/BenchSupport.h"
#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "editor/clsRTF.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/ReferenceRTF.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace scrivlet;
using scrivlet::bench::japanesePage;
using scrivlet::bench::medianMicros;
using namespace scrivlet::test;

namespace {

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void typeChar(QWidget &widget, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&widget, &press);
}

// One editor: the widget, its control and either history, wired as a document window wires
// them.
struct Editor
{
    FakeClipboard clipboard;
    FakeMessageService messages;
    SourceTextEdit widget;
    PlainTextEditAdapter control{&widget, clipboard};
    std::unique_ptr<clsRTF> ours;
    std::unique_ptr<ReferenceRTF> reference;

    Editor(const QString &text, bool literal)
    {
        widget.resize(600, 400);
        widget.show();
        control.setText(text);
        attach(literal);
        control.setSelStart(static_cast<int>(text.size() / 2));
    }
    void attach(bool literal)
    {
        if (literal) {
            reference = std::make_unique<ReferenceRTF>();
            reference->Init(&control);
            QObject::connect(&control, &IEditControl::Change, reference.get(),
                             [this] { reference->IsTextChange(); });
            reference->IsTextChange();
            reference->InitVariable();
        } else {
            ours = std::make_unique<clsRTF>(messages, StringConverter{});
            ours->Init(&control);
            QObject::connect(&control, &IEditControl::Change, ours.get(),
                             [this] { ours->IsTextChange(); });
            ours->IsTextChange();
            ours->InitVariable();
        }
    }
    void undo() { ours ? ours->Undo() : reference->Undo(); }
    void redo() { ours ? ours->Redo() : reference->Redo(); }
};

struct Timings
{
    double keystroke = 0;
    double undo = 0;
    double redo = 0;
    double backspace = 0;
};

Timings measure(const QString &text, bool literal, int keystrokes)
{
    Editor editor(text, literal);
    std::vector<qint64> keys, undos, redos, backspaces;
    QElapsedTimer timer;
    for (int i = 0; i < keystrokes; ++i) {
        timer.start();
        typeChar(editor.widget, QChar(u'あ' + (i % 40)));
        keys.push_back(timer.nsecsElapsed());
    }
    for (int i = 0; i < keystrokes; ++i) {
        timer.start();
        editor.undo();
        undos.push_back(timer.nsecsElapsed());
    }
    for (int i = 0; i < keystrokes; ++i) {
        timer.start();
        editor.redo();
        redos.push_back(timer.nsecsElapsed());
    }
    for (int i = 0; i < keystrokes; ++i) {
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QApplication::sendEvent(&editor.widget, &press);
        backspaces.push_back(timer.nsecsElapsed());
    }
    return {medianMicros(keys), medianMicros(undos), medianMicros(redos), medianMicros(backspaces)};
}

// Bytes the history gives back when it is released after keystrokes typed.
std::size_t historyBytes(const QString &text, bool literal, int keystrokes)
{
    Editor editor(text, literal);
    for (int i = 0; i < keystrokes; ++i)
        typeChar(editor.widget, QChar(u'あ' + (i % 40)));
    malloc_trim(0);
    const std::size_t held = heapInUse();
    editor.ours.reset();
    editor.reference.reset();
    const std::size_t released = heapInUse();
    return held > released ? held - released : 0;
}

// The share of one core the process uses while its event loop runs for a while.
double busyPercent(int millis)
{
    const auto cpu = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 + usage.ru_utime.tv_usec +
               usage.ru_stime.tv_usec;
    };
    const double before = cpu();
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer::singleShot(millis, &loop, &QEventLoop::quit);
    loop.exec();
    return (cpu() - before) / 10.0 / timer.elapsed();
}

bench::Bars g_bars;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("History through the text widget: median per operation, microseconds\n");
    std::printf("%-8s %12s %12s %8s %10s %10s %8s %10s %10s %8s %8s\n", "size", "key ours",
                "key literal", "ratio", "undo ours", "undo lit.", "ratio", "redo ours", "redo lit.",
                "ratio", "bs ours");
    double ratioAt10MB = 0;
    for (const auto &[label, units, keys] :
         {std::tuple{"10 KB", 10 * 1024, 200}, std::tuple{"1 MB", 1024 * 1024, 100},
          std::tuple{"10 MB", 10 * 1024 * 1024, 20}}) {
        // Sizes count characters, as a page's size on disk roughly does.
        const QString text = japanesePage(units);
        const Timings ours = measure(text, false, keys);
        const Timings literal = measure(text, true, keys);
        std::printf("%-8s %12.1f %12.1f %7.1fx %10.1f %10.1f %7.1fx %10.1f %10.1f %7.1fx %8.1f\n",
                    label, ours.keystroke, literal.keystroke, literal.keystroke / ours.keystroke,
                    ours.undo, literal.undo, literal.undo / ours.undo, ours.redo, literal.redo,
                    literal.redo / ours.redo, ours.backspace);
        ratioAt10MB = literal.keystroke / ours.keystroke;
    }
    g_bars.check(ratioAt10MB >= 20.0,
                 "10 MB: a keystroke records at least 20x faster than literal");

    std::printf("\nMemory the history holds\n");
    {
        const QString page = japanesePage(100 * 1024);
        const std::size_t ours = historyBytes(page, false, 1000);
        const std::size_t literal = historyBytes(page, true, 1000);
        std::printf(
            "  100 KB page, 1,000 keystrokes:  ours %8.1f KB (%5.0f B/step), literal %8.1f MB\n",
            ours / 1024.0, ours / 1000.0, literal / 1048576.0);
        g_bars.check(ours / 1000.0 < 1024.0, "100 KB: under 1 KB per step beyond the typed text");
    }
    {
        const QString page = japanesePage(10 * 1024 * 1024);
        const std::size_t ours = historyBytes(page, false, 10000);
        std::printf("  10 MB page, 10,000 keystrokes:  ours %8.1f KB (%5.0f B/step)\n",
                    ours / 1024.0, ours / 10000.0);
        g_bars.check(ours / 10000.0 < 1024.0, "10 MB: under 1 KB per step beyond the typed text");
    }

    std::printf("\nSearch\n");
    {
        Editor editor(japanesePage(10 * 1024 * 1024), false);
        editor.control.setSelStart(0);
        QElapsedTimer timer;
        timer.start();
        editor.ours->FindNext(QStringLiteral("見つからない文字列"));
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("  10 MB page, nothing found:  %.1f ms (%lld messages)\n", ms,
                    static_cast<long long>(editor.messages.shown.size()));
        g_bars.check(ms < 200.0, "a failed search in 10 MB takes under 200 ms");
    }
    std::printf("\nA minified page: one line of 1 MB\n");
    {
        QString line = japanesePage(1024 * 1024);
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        double kept = 0;
        double dropped = 0;
        for (const bool keepGlyphs : {true, false}) {
            Editor editor(line, false);
            editor.control.setSelStart(0); // a caret in view, as after opening the page
            if (!keepGlyphs)               // as Qt has it: the glyphs are shaped again for each use
                editor.widget.document()->firstBlock().layout()->setCacheEnabled(false);
            editor.widget.activateWindow();
            editor.widget.setFocus();
            busyPercent(3000); // the first layout of the line
            const double idle = busyPercent(3000);
            const double key =
                bench::medianMicrosOf(10, [&] { typeChar(editor.widget, u'あ'); }) / 1000.0;
            std::printf("  %-24s idle with the caret blinking %5.1f%% of a core, "
                        "keystroke %6.1f ms\n",
                        keepGlyphs ? "glyphs kept:" : "glyphs shaped each time:", idle, key);
            (keepGlyphs ? kept : dropped) = idle;
        }
        g_bars.check(kept * 2 < dropped, "idle on the line: under half the shaping's cost");
    }
    return g_bars.exitCode();
}
