#pragma once
// The file manager's "Scrivletで編集" item of .htm, .html, .shtml and .css files: a verb of the
// file class the extension belongs to, whose command starts the program with the wait switch and
// whose DDE command hands it the file. Stateless; works on the registry it is given.

#include "platform/IRegistry.h"

#include <QString>

namespace scrivlet::options {

// The verb's name, which is also the text of the item.
inline const QString kVerb = QStringLiteral("Scrivletで編集");
// The extensions of the buttons, by index.
inline constexpr const char16_t *kExtensions[] = {u".htm", u".html", u".shtml", u".css"};

enum class RegistrationMessage {
    NotAssociatedAdd,
    NotAssociatedRemove,
    NoVerb,
    Added,
    AddFailed,
    Removed,
    RemoveFailed,
};

struct RegistrationResult
{
    RegistrationMessage message;
    QString text;  // the extension followed by the message
    bool critical; // a failure (critical box) or a success (information box)
};

// The command that starts the program for a file: the executable's path, unquoted, then the
// placeholder and the switch in one pair of quotes.
QString VerbCommand(const QString &programDirectory, const QString &executableName);

// Adds (removes) the verb for extension index 0 to 3, as the buttons do.
RegistrationResult AddVerb(IRegistry &registry, int index, const QString &programDirectory,
                           const QString &executableName);
RegistrationResult RemoveVerb(IRegistry &registry, int index);

} // namespace scrivlet::options
