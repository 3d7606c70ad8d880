#include "options/ShellRegistration.h"

#include "options/Messages.h"
#include "options/clsRegEdit.h"

#include <QFileInfo>

namespace scrivlet::options {

namespace {

// The name the shell helper finds the running copy by. A copy serves under its executable's
// name, so a renamed one (scrivlet-1.2 beside scrivlet) is found only under its own.
QString serviceName(const QString &executableName)
{
    const QString base = QFileInfo(executableName).completeBaseName();
    return base.compare(QStringLiteral("Scrivlet"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("Scrivlet")
               : base;
}

RegistrationResult result(const QString &ext, RegistrationMessage message)
{
    switch (message) {
    case RegistrationMessage::NotAssociatedAdd:
        return {message, ext + msg::kNotAssociatedAdd, true};
    case RegistrationMessage::NotAssociatedRemove:
        return {message, ext + msg::kNotAssociatedRemove, true};
    case RegistrationMessage::NoVerb:
        return {message, ext + msg::kNoVerb, true};
    case RegistrationMessage::Added:
        return {message, ext + msg::kAdded, false};
    case RegistrationMessage::AddFailed:
        return {message, ext + msg::kAddFailed, true};
    case RegistrationMessage::Removed:
        return {message, ext + msg::kRemoved, false};
    case RegistrationMessage::RemoveFailed:
        break;
    }
    return {RegistrationMessage::RemoveFailed, ext + msg::kRemoveFailed, true};
}

QString extensionOf(int index)
{
    return index >= 0 && index < int(std::size(kExtensions))
               ? QString::fromUtf16(kExtensions[index])
               : QString();
}

// The file class of the extension; empty when it has none.
QString classOf(IRegistry &registry, const QString &ext)
{
    clsRegEdit reg(registry);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(ext);
    return reg.GetString(QString(), QString());
}

// A store that cannot be read (a damaged file) says nothing about the association: calling the
// extension unassociated would send the user after the wrong fault. Its root always exists
// otherwise.
bool storeReadable(const IRegistry &registry)
{
    return registry.subKeyNames(hkey::ClassesRoot, QString()).has_value();
}

} // namespace

QString VerbCommand(const QString &programDirectory, const QString &executableName)
{
    return programDirectory + executableName + QStringLiteral(" \"%1 /O\"");
}

RegistrationResult AddVerb(IRegistry &registry, int index, const QString &programDirectory,
                           const QString &executableName)
{
    const QString ext = extensionOf(index);
    if (ext.isEmpty())
        return result(ext, RegistrationMessage::AddFailed);
    const QString cls = classOf(registry, ext);
    if (cls.isEmpty())
        return result(ext, storeReadable(registry) ? RegistrationMessage::NotAssociatedAdd
                                                   : RegistrationMessage::AddFailed);

    const QString verb = cls + QStringLiteral("\\shell\\") + kVerb;
    const std::pair<QString, QString> writes[] = {
        {verb + QStringLiteral("\\command"), VerbCommand(programDirectory, executableName)},
        {verb + QStringLiteral("\\ddeexec"), QStringLiteral("Edit \"%1\"")},
        {verb + QStringLiteral("\\ddeexec\\Application"), serviceName(executableName)},
        {verb + QStringLiteral("\\ddeexec\\Topic"), QStringLiteral("System")},
    };
    clsRegEdit reg(registry);
    reg.setRegKey(hkey::ClassesRoot);
    for (const auto &[key, value] : writes) {
        reg.setSubKey(key);
        if (!reg.SetString(QString(), value))
            return result(ext, RegistrationMessage::AddFailed);
    }
    return result(ext, RegistrationMessage::Added);
}

RegistrationResult RemoveVerb(IRegistry &registry, int index)
{
    const QString ext = extensionOf(index);
    if (ext.isEmpty())
        return result(ext, RegistrationMessage::RemoveFailed);
    const QString cls = classOf(registry, ext);
    if (cls.isEmpty())
        return result(ext, storeReadable(registry) ? RegistrationMessage::NotAssociatedRemove
                                                   : RegistrationMessage::RemoveFailed);

    const QString shell = cls + QStringLiteral("\\shell");
    const QString verb = shell + u'\\' + kVerb;
    clsRegEdit reg(registry);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(verb + QStringLiteral("\\command"));
    if (reg.GetString(QString(), QString()).isEmpty())
        return result(ext, RegistrationMessage::NoVerb);

    // Leaves first: a key that still has subkeys cannot go. "Application" may already be gone
    // after an earlier removal that stopped half-way; that alone is no reason to stop.
    reg.setSubKey(verb + QStringLiteral("\\ddeexec"));
    reg.DeleteSubKey(QStringLiteral("Application"));
    const std::pair<QString, QString> deletes[] = {
        {verb + QStringLiteral("\\ddeexec"), QStringLiteral("Topic")},
        {verb, QStringLiteral("command")},
        {verb, QStringLiteral("ddeexec")},
        {shell, kVerb},
    };
    for (const auto &[key, sub] : deletes) {
        reg.setSubKey(key);
        if (!reg.DeleteSubKey(sub))
            return result(ext, RegistrationMessage::RemoveFailed);
    }
    return result(ext, RegistrationMessage::Removed);
}

} // namespace scrivlet::options
