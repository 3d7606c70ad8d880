#include "files/basINI.h"

#include "files/AtomicWrite.h"
#include "files/IniFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <functional>
#include <optional>

namespace scrivlet::basINI {

namespace {

QString gIniFile;

// The whole file, or nullopt when it cannot be read; a missing file reads as empty, so that
// reads give their defaults and a write creates it.
std::optional<QByteArray> readProfile(const QString &path, bool *exists = nullptr)
{
    const QFileInfo info(path);
    const bool found = info.exists();
    if (exists)
        *exists = found;
    if (!found)
        return QByteArray();
    if (!info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> currentProfile()
{
    return gIniFile.isEmpty() ? std::nullopt : readProfile(gIniFile);
}

std::optional<QString> readValue(const QString &section, const QString &key)
{
    const std::optional<QByteArray> bytes = currentProfile();
    if (!bytes)
        return std::nullopt;
    return files::profileValue(*bytes, section, key);
}

// Reads the file, lets edit change its bytes and puts the result in the file's place, all under
// a lock: another copy of the program writes the same file, at its exit above all, and without
// the lock each would put back what it read before the other's change. A lock that cannot be had
// (a copy that hangs, a folder without room for the lock) leaves the write to go on without it.
bool changeProfile(const std::function<bool(QByteArray &)> &edit)
{
    if (gIniFile.isEmpty())
        return false;
    QLockFile lock(gIniFile + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    lock.tryLock(5000);
    bool exists = false;
    // A file that cannot be read cannot be rewritten without losing what it holds.
    const std::optional<QByteArray> old = readProfile(gIniFile, &exists);
    if (!old)
        return false;
    QByteArray updated = *old;
    if (!edit(updated))
        return false;
    if (exists && updated == *old)
        return true;
    return files::replaceFileContents(gIniFile, updated);
}

} // namespace

void SetIniFile(const QString &path)
{
    gIniFile = path;
}

QString CurrentIniFile()
{
    return gIniFile;
}

int ReadIniInt(const QString &section, const QString &key, int defaultValue)
{
    const std::optional<QString> value = readValue(section, key);
    return value ? files::profileInteger(*value) : defaultValue;
}

QString ReadIniString(const QString &section, const QString &key, const QString &defaultValue)
{
    return readValue(section, key).value_or(defaultValue);
}

QStringList ReadIniStrings(const QString &section, const QStringList &keys,
                           const QString &defaultValue)
{
    QStringList out(keys.size(), defaultValue);
    const std::optional<QByteArray> bytes = currentProfile();
    if (!bytes)
        return out;
    const QList<std::optional<QString>> values = files::profileValues(*bytes, section, keys);
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = values[i].value_or(defaultValue);
    return out;
}

bool WriteIniString(const QString &section, const QString &key, const QString &value)
{
    return WriteIniValues({{section, key, value}});
}

bool WriteIniValues(const QList<IniValue> &values)
{
    // A refused edit writes nothing, so one value that cannot be written keeps all the others
    // out too.
    return changeProfile([&](QByteArray &bytes) {
        for (const IniValue &v : values) {
            // A value that would read back as another (〜 as its Windows twin ～, a path to
            // another folder) is not written either.
            const std::optional<QByteArray> updated =
                files::withProfileValue(bytes, v.section, v.key, v.value);
            if (!updated || files::profileValue(*updated, v.section, v.key) != v.value)
                return false;
            bytes = *updated;
        }
        return true;
    });
}

bool WriteIniList(const QString &section, const QStringList &values)
{
    return changeProfile([&](QByteArray &bytes) {
        qsizetype key = 1;
        for (const QString &value : values) {
            // A value too long to read back whole is kept whole in the file, yet reads back
            // cut: a recent file that names no file, a search string never searched. The next
            // value or an empty one takes its key.
            const QString name = QString::number(key);
            const std::optional<QByteArray> updated =
                files::withProfileValue(bytes, section, name, value);
            if (updated && files::profileValue(*updated, section, name) == value) {
                bytes = *updated;
                ++key;
            }
        }
        bool written = key > 1 || values.isEmpty();
        for (; key <= values.size(); ++key) {
            if (const auto updated =
                    files::withProfileValue(bytes, section, QString::number(key), QString())) {
                bytes = *updated;
                written = true;
            }
        }
        return written;
    });
}

QStringList NumberedKeys(int count)
{
    QStringList keys;
    keys.reserve(std::max(count, 0));
    for (int k = 1; k <= count; ++k)
        keys.append(QString::number(k));
    return keys;
}

void ResetForTests()
{
    gIniFile.clear();
}

} // namespace scrivlet::basINI
