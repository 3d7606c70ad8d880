#pragma once
// The key store of the shell verbs: one JSON document per user, read again by every operation
// and replaced whole, under a lock file, by every change, so that the program and the shell
// helper started by the file manager always see the same tree. Owns nothing but its file name
// and the change hook.

#include "platform/IRegistry.h"

#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace scrivlet::options {

class RegistryStore final : public IRegistry
{
public:
    // The extensions and file classes a new store starts with.
    using Seed = QList<std::pair<QString, QString>>;

    explicit RegistryStore(QString fileName, Seed seed = DefaultSeed());

    // $XDG_CONFIG_HOME/Scrivlet/registry.json
    static QString DefaultFileName();
    // The classes the desktop gives the extensions this program edits: ".htm", ".html" and
    // ".shtml" the HTML type, ".css" the style-sheet type.
    static Seed DefaultSeed();

    QString fileName() const { return m_fileName; }

    // Called after every change that was saved, with the root it was made under. A hook that
    // answers false (the file manager could not be told) makes the change report a failure,
    // though the store keeps it: a verb the file manager never shows is no verb added.
    void setChangeHook(std::function<bool(quint32 root)> hook) { m_changed = std::move(hook); }

    std::optional<RegistryValue> value(quint32 root, const QString &path,
                                       const QString &name) const override;
    std::optional<QStringList> valueNames(quint32 root, const QString &path) const override;
    std::optional<QStringList> subKeyNames(quint32 root, const QString &path) const override;
    bool setValue(quint32 root, const QString &path, const RegistryValue &value) override;
    bool deleteValue(quint32 root, const QString &path, const QString &name) override;
    bool deleteKey(quint32 root, const QString &path, const QString &subKey) override;

    struct Tree;

private:
    bool change(quint32 root, const std::function<bool(Tree &)> &edit);

    QString m_fileName;
    Seed m_seed;
    std::function<bool(quint32)> m_changed;
};

} // namespace scrivlet::options
