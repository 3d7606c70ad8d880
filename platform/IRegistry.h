#pragma once
// A tree of keys and typed values under a few predefined roots, as the shell verbs are stored;
// owns nothing.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace scrivlet {

// The predefined roots. Any other root makes every operation fail.
namespace hkey {
inline constexpr quint32 ClassesRoot = 0x80000000u;
inline constexpr quint32 CurrentUser = 0x80000001u;
inline constexpr quint32 LocalMachine = 0x80000002u;
inline constexpr quint32 Users = 0x80000003u;
} // namespace hkey

// The value types the program stores.
namespace regtype {
inline constexpr quint32 String = 1;
inline constexpr quint32 Binary = 3;
inline constexpr quint32 DWord = 4;
} // namespace regtype

struct RegistryValue
{
    QString name; // "" is the key's default value
    quint32 type = regtype::String;
    QByteArray data;
};

// Keys are addressed by a root and a path of names joined with "\" ("" is the root itself).
// Names keep the case they were first written with and are matched without regard to case.
class IRegistry
{
public:
    virtual ~IRegistry() = default;

    // The value, or nothing when the key or the value does not exist. Never creates anything.
    virtual std::optional<RegistryValue> value(quint32 root, const QString &path,
                                               const QString &name) const = 0;
    // Names of the values in the order they were made, or nothing when the key does not exist.
    virtual std::optional<QStringList> valueNames(quint32 root, const QString &path) const = 0;
    // Names of the direct subkeys in case-insensitive order, or nothing when the key does not
    // exist.
    virtual std::optional<QStringList> subKeyNames(quint32 root, const QString &path) const = 0;

    // Writes the value, making the key and any missing keys above it; an existing value keeps
    // its place among the others. False when nothing was written.
    virtual bool setValue(quint32 root, const QString &path, const RegistryValue &value) = 0;
    // Deletes one value; false when it does not exist or the store cannot be written.
    virtual bool deleteValue(quint32 root, const QString &path, const QString &name) = 0;
    // Deletes the key subKey below path; false when it does not exist, still has subkeys, or
    // the store cannot be written.
    virtual bool deleteKey(quint32 root, const QString &path, const QString &subKey) = 0;
};

} // namespace scrivlet
