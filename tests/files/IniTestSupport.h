#pragma once
// Byte helpers shared by the settings and file layer tests.

#include "tests/common/DataRows.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>
#include <string>

namespace scrivlet::test {

// The whole file; empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), bytes.size()) == bytes.size();
}

// The bytes of a fixture below tests/data/ini.
inline QByteArray iniFixture(const QString &name)
{
    return readBytes(QStringLiteral(SCRIVLET_TEST_DATA "/ini/") + name);
}

// The rows of a table below tests/data/ini.
inline std::vector<DataRow> iniRows(const char *name, std::size_t width)
{
    return readDataRows(std::string(SCRIVLET_TEST_DATA "/ini/") + name, width);
}

// Bytes as std::string, which failures print with escapes; "<refused>" for no bytes at all.
inline std::string str(const std::optional<QByteArray> &bytes)
{
    return bytes ? bytes->toStdString() : std::string("<refused>");
}

} // namespace scrivlet::test
