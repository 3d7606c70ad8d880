// What the program keeps after a big page is closed: the frame opens a 15 MB Shift-JIS page and
// closes it again, a few times, and the resident size is read after each close. Prints a table
// and checks the bar: once a page is closed, the program holds at most 30 MB more than before
// it was opened.

#include "bench/BenchSupport.h"
#include "tests/shell/AppDriver.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

using namespace scrivlet;
using namespace scrivlet::test;

namespace {

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// Runs what the event loop has left: the closed window's deferred deletion, then what that
// deletion queued.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    AppDriver app;
    app.start();
    app.closeActive();
    const QString page = app.writePage(u"big.html"_s, bench::japanesePage(12'000'000));
    settle();
    const double before = residentMegabytes();
    std::printf("page: %.1f MB of Shift-JIS; resident before it opened: %.0f MB\n",
                QFileInfo(page).size() / 1e6, before);

    bench::Bars bars;
    double worst = before;
    for (int cycle = 1; cycle <= 3; ++cycle) {
        app.frame().NewWindow(page);
        settle();
        const double open = residentMegabytes();
        app.closeActive();
        settle();
        const double closed = residentMegabytes();
        std::printf("cycle %d: open %.0f MB, closed %.0f MB\n", cycle, open, closed);
        worst = std::max(worst, closed);
    }
    bars.check(worst - before <= 30, "a closed 15 MB page leaves at most 30 MB behind");
    return bars.exitCode();
}
