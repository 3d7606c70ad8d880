#pragma once
// Fixture paths and byte helpers shared by the settings tests.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string>

namespace scrivlet::test {

// A fixture below tests/data/ini. Never written: tests copy it first.
QString iniFixture(const QString &name);

// The whole file; empty when it cannot be read.
QByteArray readBytes(const QString &path);

// Writes bytes to path, replacing it; false when that fails.
bool writeBytes(const QString &path, QByteArrayView bytes);

// The bytes as C string escapes (\r, \n, \x83 ...), so that failures show what is in a file.
std::string escaped(QByteArrayView bytes);

// Shorthand for byte literals that hold NUL bytes: the array without its terminating NUL.
template<qsizetype N>
QByteArray bytesOf(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

} // namespace scrivlet::test
