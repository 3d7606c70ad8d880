#pragma once
// One key of the registry store at a time: set a root and a path, then read, write, enumerate
// or delete values and subkeys of that key. Each operation goes to the store on its own; nothing
// is kept open between calls. References the store; owns nothing.

#include "platform/IRegistry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace scrivlet {

class clsRegEdit
{
public:
    // The longest string and binary value a read returns, in bytes with the closing NUL, and
    // the longest name an enumeration lists (its buffer holds one more for the NUL).
    static constexpr qsizetype kStringBuffer = 4096;
    static constexpr qsizetype kBinaryBuffer = 4096;
    static constexpr qsizetype kNameBuffer = 80;

    explicit clsRegEdit(IRegistry &registry) : m_registry(registry) {}

    quint32 RegKey() const { return m_regKey; }
    void setRegKey(quint32 newRegKey) { m_regKey = newRegKey; }
    QString SubKey() const { return m_subKey; }
    void setSubKey(const QString &newSubKey) { m_subKey = newSubKey; }

    // Fill names with the value (subkey) names and return their number. The list is cut to the
    // names found when there are any and left as it was when there are none or the key does not
    // exist. The listing ends quietly before the first name too long for the buffer.
    qint32 EnumValueName(QStringList &names) const;
    qint32 EnumSubKey(QStringList &names) const;

    // True only when the direct subkey (which must have no subkeys) or the value was deleted.
    bool DeleteSubKey(const QString &name);
    bool DeleteValueName(const QString &valueName);

    // The value's data up to its first NUL, whatever its stored type ("" names the key's default
    // value); defaultValue when the key or the value is missing or longer than the buffer.
    QString GetString(const QString &valueName, const QString &defaultValue) const;
    // Stores the text as a string value, making the key and the keys above it.
    bool SetString(const QString &valueName, const QString &value);

    // The value's first four bytes as a number. A shorter value replaces only the low bytes of
    // defaultValue; a longer or missing one gives defaultValue.
    qint32 GetDWORD(const QString &valueName, qint32 defaultValue) const;
    bool SetDWORD(const QString &valueName, qint32 value);

    // Fills data with the value's bytes and returns their number; on a missing key 0 and data as
    // it was, on a missing or too long value 0 and data empty.
    qint32 GetBinary(const QString &valueName, QByteArray &data) const;
    // Stores the first count bytes of data; false when count is outside data.
    bool SetBinary(const QString &valueName, const QByteArray &data, qint32 count);

private:
    static qint32 fill(const std::optional<QStringList> &found, QStringList &names);

    IRegistry &m_registry;
    quint32 m_regKey = 0;
    QString m_subKey;
};

} // namespace scrivlet
