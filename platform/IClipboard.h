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
    // Whether text() is not empty. The menus ask at every keystroke, so an implementation whose
    // text() is costly answers from what it already knows.
    virtual bool hasText() const { return !text().isEmpty(); }
};

} // namespace scrivlet
