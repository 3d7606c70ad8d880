#pragma once
// What the benchmarks share: a realistic Japanese page, medians, and the bars they check.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace scrivlet::bench {

// Hand-written Japanese HTML, units long.
inline QString japanesePage(qsizetype units)
{
    const QString lines[] = {
        QStringLiteral(
            "<p class=\"note\">日本語の文章です。HTML を手で書く人のためのエディタ。</p>\r\n"),
        QStringLiteral("<li><a href=\"page%1.html\">第%1章　ｶﾀｶﾅ と ひらがな</a></li>\r\n"),
        QStringLiteral("<td align=\"right\">１２３，４５６円</td><td>&nbsp;</td>\r\n"),
    };
    QString page;
    page.reserve(units + 128);
    for (int i = 0; page.size() < units; ++i)
        page += lines[i % 3].contains(u"%1") ? lines[i % 3].arg(i) : lines[i % 3];
    page.truncate(units);
    return page;
}

inline double medianMicros(std::vector<qint64> &nanos)
{
    std::sort(nanos.begin(), nanos.end());
    return nanos.empty() ? 0.0 : nanos[nanos.size() / 2] / 1000.0;
}

// The median time of runs calls of run, in microseconds.
inline double medianMicrosOf(int runs, const std::function<void()> &run)
{
    std::vector<qint64> nanos;
    QElapsedTimer timer;
    for (int k = 0; k < runs; ++k) {
        timer.start();
        run();
        nanos.push_back(timer.nsecsElapsed());
    }
    return medianMicros(nanos);
}

// Prints each bar with its verdict; the benchmark's exit code says whether all were met.
class Bars
{
public:
    void check(bool met, const char *what)
    {
        std::printf("  bar: %-58s %s\n", what, met ? "met" : "NOT MET");
        m_ok = m_ok && met;
    }
    void fail() { m_ok = false; }
    int exitCode() const { return m_ok ? 0 : 1; }

private:
    bool m_ok = true;
};

} // namespace scrivlet::bench
