// Loads a 10 MB (in UTF-8) Japanese page with LoadTextFile, once written in UTF-8 and once in
// Shift-JIS, through UNKANJ.DLL in a temporary program directory, and prints the median times; then
// times the bytes of a save of such a page with scripts and styles, whose code takes escapes of its
// own.
#include "bench/BenchSupport.h"
#include "files/Cp932.h"
#include "files/basFile.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace scrivlet;

namespace {

// The median of five loads, in milliseconds; false when a load did not give the text back.
bool timeLoad(const QString &path, const QString &expected, double &millis)
{
    test::FakeMessageService messages;
    std::vector<qint64> nanos;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QString text = basFile::LoadTextFile(messages, path);
        nanos.push_back(timer.nsecsElapsed());
        if (text != expected)
            return false;
    }
    millis = bench::medianMicros(nanos) / 1000.0;
    return messages.shown.isEmpty();
}

} // namespace

int main()
{
    QTemporaryDir program;
    QTemporaryDir pages;
    gProgramDirectory = program.path() + u'/';
    QFile::copy(QStringLiteral(SCRIVLET_PROGRAM_DIR "/UNKANJ.DLL"),
                gProgramDirectory + QStringLiteral("UNKANJ.DLL"));
    basINI::SetIniFile(program.filePath(QStringLiteral("Scrivlet.ini")));

    const QString text = bench::japanesePage(6500 * 1000);
    const QByteArray utf8 = text.toUtf8();
    const QByteArray sjis = encodeCp932(text);
    const struct
    {
        const char *name;
        QByteArray bytes;
    } pagesInCodes[] = {{"UTF-8", utf8}, {"Shift-JIS", sjis}};

    bench::Bars bars;
    std::printf("Loading a Japanese page of %lld characters (median of 5, milliseconds):\n",
                static_cast<long long>(text.size()));
    for (const auto &page : pagesInCodes) {
        const QString path =
            pages.filePath(QString::fromLatin1(page.name) + QStringLiteral(".html"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(page.bytes) != page.bytes.size())
            return 1;
        file.close();
        double millis = 0;
        const bool ok = timeLoad(path, text, millis);
        std::printf("  %-10s %6.1f MB  %8.1f ms\n", page.name, page.bytes.size() / 1e6, millis);
        bars.check(ok, "loads the same text in both codes, without a message");
    }
    basKanji::UnloadLibraryForTests();

    // Every 40th line a script or style, with a character Shift-JIS lacks in its code and after it.
    const QString script =
        QStringLiteral("<script><!--\r\nw(\"<script src=a.js></script>\");\r\n"
                       "x = \"\u2714\"; if (a < b) y();\r\n--></script>\u2714\r\n");
    const QString style = QStringLiteral("<style>a::after { content: \"\u2714\" }</style>\r\n");
    QString scripted;
    qsizetype scripts = 0, styles = 0;
    const QStringList lines = text.left(4 * 1000 * 1000).split(u'\n');
    for (qsizetype line = 0; line < lines.size(); ++line) {
        scripted += lines[line] + u'\n';
        if (line % 40 == 0)
            scripted += line % 80 ? (++styles, style) : (++scripts, script);
    }
    QByteArray saved;
    const double micros = bench::medianMicrosOf(
        5, [&] { saved = basFile::EncodeForSaving(scripted, QStringLiteral("html")); });
    std::printf("Saving a page of %lld characters with %lld scripts and %lld styles in Shift-JIS: "
                "%.1f ms\n",
                static_cast<long long>(scripted.size()), static_cast<long long>(scripts),
                static_cast<long long>(styles), micros / 1000);
    bars.check(micros < 500 * 1000 && saved.count("\\u2714") == scripts &&
                   saved.count("\\2714 ") == styles && saved.count("&#x2714;") == scripts,
               "under 0.5 s, each code with its own escapes");
    return bars.exitCode();
}
