#pragma once
// Message boxes, as the core asks for them; owns nothing.

#include <QString>

namespace scrivlet {

enum class MessageIcon { None, Critical, Question, Warning, Information };
// YesNoDefaultNo: Enter answers No, for a question whose Yes destroys something.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// The title every box carries unless it names its own.
inline const QString kAppTitle = QStringLiteral("Scrivlet");

class IMessageService
{
public:
    virtual ~IMessageService() = default;

    // Shows one modal box and returns the button that closed it.
    virtual MessageAnswer show(const QString &text, const QString &title, MessageIcon icon,
                               MessageButtons buttons) = 0;

    // The shapes the program uses, so that callers state intent rather than flags.
    void critical(const QString &text, const QString &title = kAppTitle)
    {
        show(text, title, MessageIcon::Critical, MessageButtons::Ok);
    }
    void information(const QString &text, const QString &title = kAppTitle)
    {
        show(text, title, MessageIcon::Information, MessageButtons::Ok);
    }
    bool questionYesNo(const QString &text, const QString &title = kAppTitle,
                       MessageIcon icon = MessageIcon::Question)
    {
        return show(text, title, icon, MessageButtons::YesNo) == MessageAnswer::Yes;
    }
    // A question whose Yes replaces something the user may still want: a hurried Enter keeps it.
    bool questionYesNoDefaultNo(const QString &text, const QString &title = kAppTitle,
                                MessageIcon icon = MessageIcon::Warning)
    {
        return show(text, title, icon, MessageButtons::YesNoDefaultNo) == MessageAnswer::Yes;
    }
    MessageAnswer questionYesNoCancel(const QString &text, const QString &title = kAppTitle,
                                      MessageIcon icon = MessageIcon::Warning)
    {
        return show(text, title, icon, MessageButtons::YesNoCancel);
    }
    // The converter library reports its failures under its own title and without an icon.
    void libraryError(const QString &text)
    {
        show(text, QStringLiteral("エラー"), MessageIcon::None, MessageButtons::Ok);
    }
};

} // namespace scrivlet
