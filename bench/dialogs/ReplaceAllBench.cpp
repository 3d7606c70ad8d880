// What Replace all costs on a big page: the replacement itself in both comparisons, and the
// whole button press of the Replace dialog through the real text widget and the editor
// document, beside the literal way of replacing one match at a time in the string. Prints a
// table and checks the bar: 100,000 matches in 10 MB in under 1 s, in either comparison.

#include "bench/BenchSupport.h"
#include "dialogs/ISearchTarget.h"
#include "dialogs/frmReplace.h"
#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "editor/SearchReplace.h"
#include "editor/clsRTF.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>

#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace scrivlet;
using scrivlet::bench::japanesePage;
using namespace scrivlet::test;

namespace {

// The page of about `units` units with `matches` copies of "<br>" spread evenly, never between
// the CR and the LF of a line break. "<BR>" finds all of them by the text comparison only.
QString pageWithMatches(qsizetype units, int matches)
{
    const QString base = japanesePage(units - 4 * qsizetype(matches));
    QString page;
    page.reserve(units);
    qsizetype from = 0;
    for (int i = 0; i < matches; ++i) {
        qsizetype at = base.size() * i / matches;
        if (at > 0 && base.at(at - 1) == u'\r')
            ++at;
        at = std::max(at, from);
        page.append(QStringView(base).mid(from, at - from));
        page.append(u"<br>");
        from = at;
    }
    page.append(QStringView(base).mid(from));
    return page;
}

// Processor time of this thread: what the work costs, apart from the waits of a machine shared
// with other processes.
qint64 threadCpuNanos()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Literal
{
    double cpuMs = 0; // processor time spent
    bool complete = true;
    double projectedMs = 0; // the whole run; the time spent when it completed
};

// The literal way: find the next match, replace it in place, go on after it; each replacement
// moves the rest of the text. Given up after budgetMs of wall clock; the whole run is then
// projected from the share of the moving done, which is what the time goes on.
Literal literal(QString text, const QString &needle, const QString &replacement, CompareMode mode,
                double budgetMs)
{
    double movesTotal = 0;
    for (const TextSpan &match : FindAll(text, needle, mode))
        movesTotal += double(text.size() - match.position - match.length);
    double movesDone = 0;
    QElapsedTimer timer;
    timer.start();
    const qint64 cpu = threadCpuNanos();
    Literal out;
    int done = 0;
    for (qsizetype p = findForward(text, needle, 0, mode); p >= 0;
         p = findForward(text, needle, p + replacement.size(), mode)) {
        text.replace(p, needle.size(), replacement);
        movesDone += double(text.size() - p - replacement.size());
        ++done;
        if ((done & 255) == 0 && timer.nsecsElapsed() / 1e6 > budgetMs) {
            out.complete = false;
            break;
        }
    }
    out.cpuMs = (threadCpuNanos() - cpu) / 1e6;
    out.projectedMs =
        out.complete || movesDone == 0 ? out.cpuMs : out.cpuMs * movesTotal / movesDone;
    return out;
}

// Median processor time of runs.
double medianCpuMs(int runs, const std::function<void()> &run)
{
    std::vector<qint64> nanos;
    for (int k = 0; k < runs; ++k) {
        const qint64 start = threadCpuNanos();
        run();
        nanos.push_back(threadCpuNanos() - start);
    }
    return bench::medianMicros(nanos) / 1000.0;
}

// One document as a document window wires it: widget, control, editor document, and the
// Replace dialog pointed at it.
struct Document final : ISearchTarget
{
    FakeClipboard clipboard;
    FakeMessageService messages;
    SourceTextEdit widget;
    PlainTextEditAdapter control{&widget, clipboard};
    clsRTF doc{messages, {}};
    frmReplace dialog{*this, messages, nullptr};

    Document()
    {
        widget.resize(600, 400);
        widget.show();
        doc.Init(&control);
        QObject::connect(&control, &IEditControl::Change, &doc, [this] { doc.IsTextChange(); });
    }
    IEditControl *activeEditControl() override { return &control; }
    void focusActiveDocument() override {}
};

bench::Bars g_bars;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ResetGlobals();

    const QString replacement = QStringLiteral("<br />");
    const struct
    {
        CompareMode mode;
        const char *label;
        QString needle;
    } modes[] = {
        {CompareMode::Exact, "exact", QStringLiteral("<br>")},
        {CompareMode::Text, "text", QStringLiteral("<BR>")},
    };

    std::printf("Replace all, \"<br>\" to \"<br />\": milliseconds, median of 5 (literal: once)\n");
    std::printf("%-8s %8s %-6s %10s %10s %10s %14s %9s\n", "size", "matches", "mode", "ours",
                "press wall", "press", "literal", "ratio");
    for (const auto &[label, units, matches] :
         {std::tuple{"100 KB", 100 * 1024, 1000}, std::tuple{"1 MB", 1024 * 1024, 10000},
          std::tuple{"10 MB", 10 * 1024 * 1024, 100000}}) {
        const QString page = pageWithMatches(units, matches);
        const QString expected = QString(page).replace(QStringLiteral("<br>"), replacement);
        Document document;
        for (const auto &m : modes) {
            qsizetype count = 0;
            QString result;
            const double ours = medianCpuMs(
                5, [&] { result = ReplaceAll(page, m.needle, replacement, m.mode, &count); });
            if (count != matches || result != expected) {
                std::printf("  %s %s: wrong result (%lld matches)\n", label, m.label,
                            static_cast<long long>(count));
                g_bars.fail();
            }

            // The whole button press: read the widget's text, replace, write it back, record
            // the one undo step and let the widget lay out the new text.
            document.dialog.chkBinary->setChecked(m.mode == CompareMode::Exact);
            document.dialog.cboFindStr->setEditText(m.needle);
            document.dialog.cboReplaceStr->setEditText(replacement);
            std::vector<qint64> presses, pressesCpu;
            for (int k = 0; k < 5; ++k) {
                document.control.setText(page);
                QCoreApplication::processEvents();
                const int steps = document.doc.GetClctUndoCount();
                QElapsedTimer timer;
                timer.start();
                const qint64 cpu = threadCpuNanos();
                document.dialog.cmdAllReplace->click();
                QCoreApplication::processEvents();
                presses.push_back(timer.nsecsElapsed());
                pressesCpu.push_back(threadCpuNanos() - cpu);
                if (document.doc.GetClctUndoCount() != steps + 1 ||
                    document.control.TextLength() != expected.size()) {
                    std::printf("  %s %s: not one undo step of the right text\n", label, m.label);
                    g_bars.fail();
                }
            }
            const double press = bench::medianMicros(presses) / 1000.0;
            const double pressCpu = bench::medianMicros(pressesCpu) / 1000.0;

            const Literal lit = literal(page, m.needle, replacement, m.mode, 10000);
            char literalText[64];
            std::snprintf(literalText, sizeof literalText, "%s%.0f", lit.complete ? "" : "~",
                          lit.projectedMs);
            std::printf("%-8s %8d %-6s %10.1f %10.1f %10.1f %14s %8.1fx\n", label, matches, m.label,
                        ours, press, pressCpu, literalText, lit.projectedMs / ours);
            if (units == 10 * 1024 * 1024) {
                char what[96];
                std::snprintf(what, sizeof what,
                              "10 MB, 100,000 matches, %s: button press < 1 s of CPU", m.label);
                g_bars.check(pressCpu < 1000.0, what);
            }
        }
    }
    std::printf(
        "  ours: the replacement in the string alone; press: the whole button press through\n"
        "  the text widget and the undo history, wall clock; literal: one match at a time in\n"
        "  the string, given up after 10 s of wall clock and then projected (~); ratio:\n"
        "  literal over ours. Processor times of the thread but for the wall clock, because\n"
        "  the machine may be shared with other work.\n");
    return g_bars.exitCode();
}
