#pragma once
// The system clipboard's plain text; owns nothing.

#include <QString>

namespace scrivlet {

class IClipboard
{
public:
    virtual ~IClipboard() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
};

} // namespace scrivlet
