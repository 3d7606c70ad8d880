#pragma once
// The system clipboard through QGuiApplication; owns nothing.

#include "platform/IClipboard.h"

#include <QObject>

namespace scrivlet {

class QtClipboard final : public QObject, public IClipboard
{
    Q_OBJECT
public:
    QtClipboard();

    QString text() const override;
    void setText(const QString &text) override;
    // Answered from the last change of the clipboard: asking another program for its text at
    // every keystroke would make typing wait on it.
    bool hasText() const override { return m_hasText; }

private:
    void clipboard_DataChanged();

    bool m_hasText = false;
};

} // namespace scrivlet
