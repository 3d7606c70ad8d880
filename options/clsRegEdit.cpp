#include "options/clsRegEdit.h"

#include <QtEndian>

#include <cstring>

namespace scrivlet {

qint32 clsRegEdit::fill(const std::optional<QStringList> &found, QStringList &names)
{
    if (!found)
        return 0;
    qint32 count = 0;
    for (const QString &name : *found) {
        if (name.size() >= kNameBuffer)
            break;
        ++count;
    }
    if (count > 0) {
        names.resize(count);
        for (qint32 i = 0; i < count; ++i) {
            const QString &name = found->at(i);
            const qsizetype nul = name.indexOf(QChar(0));
            names[i] = nul < 0 ? name : name.left(nul);
        }
    }
    return count;
}

qint32 clsRegEdit::EnumValueName(QStringList &names) const
{
    return fill(m_registry.valueNames(m_regKey, m_subKey), names);
}

qint32 clsRegEdit::EnumSubKey(QStringList &names) const
{
    return fill(m_registry.subKeyNames(m_regKey, m_subKey), names);
}

bool clsRegEdit::DeleteSubKey(const QString &name)
{
    return m_registry.deleteKey(m_regKey, m_subKey, name);
}

bool clsRegEdit::DeleteValueName(const QString &valueName)
{
    return m_registry.deleteValue(m_regKey, m_subKey, valueName);
}

QString clsRegEdit::GetString(const QString &valueName, const QString &defaultValue) const
{
    const auto found = m_registry.value(m_regKey, m_subKey, valueName);
    if (!found || found->data.size() > kStringBuffer)
        return defaultValue;
    const qsizetype nul = found->data.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? found->data : found->data.left(nul));
}

bool clsRegEdit::SetString(const QString &valueName, const QString &value)
{
    return m_registry.setValue(m_regKey, m_subKey,
                               {valueName, regtype::String, value.toUtf8() + '\0'});
}

qint32 clsRegEdit::GetDWORD(const QString &valueName, qint32 defaultValue) const
{
    const auto found = m_registry.value(m_regKey, m_subKey, valueName);
    if (!found || found->data.size() > 4)
        return defaultValue;
    // The stored bytes land on the default's own, lowest first.
    char bytes[4];
    qToLittleEndian(defaultValue, bytes);
    std::memcpy(bytes, found->data.constData(), size_t(found->data.size()));
    return qFromLittleEndian<qint32>(bytes);
}

bool clsRegEdit::SetDWORD(const QString &valueName, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    return m_registry.setValue(m_regKey, m_subKey,
                               {valueName, regtype::DWord, QByteArray(bytes, 4)});
}

qint32 clsRegEdit::GetBinary(const QString &valueName, QByteArray &data) const
{
    if (!m_registry.valueNames(m_regKey, m_subKey))
        return 0;
    const auto found = m_registry.value(m_regKey, m_subKey, valueName);
    if (!found || found->data.size() > kBinaryBuffer) {
        data.clear();
        return 0;
    }
    data = found->data;
    return qint32(data.size());
}

bool clsRegEdit::SetBinary(const QString &valueName, const QByteArray &data, qint32 count)
{
    if (count < 0 || count > data.size())
        return false;
    return m_registry.setValue(m_regKey, m_subKey, {valueName, regtype::Binary, data.left(count)});
}

} // namespace scrivlet
