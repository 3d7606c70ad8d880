#pragma once
// Printing of Qt values in test failures, and small helpers shared by the suites.

#include "tests/common/DataRows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>
#include <ranges>

QT_BEGIN_NAMESPACE
// GoogleTest finds these by argument-dependent lookup.
void PrintTo(const QString &text, std::ostream *os);
void PrintTo(const QStringList &list, std::ostream *os);
QT_END_NAMESPACE

namespace scrivlet::test {

// The text with CR, LF and other invisible units spelled out, for messages.
std::string visible(const QString &text);

// The text in a code ("CP932", "EUC-JP-MS", "ISO-2022-JP", ...) by glibc iconv: the reference
// that the program's own codecs and converter are checked against.
QByteArray iconvEncode(const QString &text, const char *code);

// What f gives for each of the items, in order (a QStringList when it gives texts); for the
// indexes below a count, the items are std::views::iota(0, count).
template<class Items, class F>
auto mapped(const Items &items, F f)
{
    QList<std::decay_t<decltype(std::invoke(f, *std::begin(items)))>> out;
    for (const auto &item : items)
        out.append(std::invoke(f, item));
    return out;
}

// Field i of a table row, as text.
inline QString field(const DataRow &row, std::size_t i)
{
    return QString::fromStdString(row[i]);
}

} // namespace scrivlet::test
