#pragma once
// Test doubles of the platform services: they record what was shown and answer as scripted.

#include "platform/IClipboard.h"
#include "platform/IMessageService.h"

#include <QList>

namespace scrivlet::test {

struct ShownMessage
{
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
};

class FakeMessageService final : public IMessageService
{
public:
    MessageAnswer show(const QString &text, const QString &title, MessageIcon icon,
                       MessageButtons buttons) override
    {
        shown.append({text, title, icon, buttons});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }

    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : shown)
            out.append(m.text);
        return out;
    }

    QList<ShownMessage> shown;
    QList<MessageAnswer> answers; // given in order; Ok or Cancel when none is left
};

class FakeClipboard final : public IClipboard
{
public:
    QString text() const override { return content; }
    void setText(const QString &text) override { content = text; }

    QString content;
};

} // namespace scrivlet::test
