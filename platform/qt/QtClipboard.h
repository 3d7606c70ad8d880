#pragma once
// The system clipboard through QGuiApplication; owns nothing.

#include "platform/IClipboard.h"

namespace scrivlet {

class QtClipboard final : public IClipboard
{
public:
    QString text() const override;
    void setText(const QString &text) override;
};

} // namespace scrivlet
