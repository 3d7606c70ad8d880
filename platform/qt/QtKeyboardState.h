#pragma once
// Keys and mouse buttons held right now, as the window system reports them; owns nothing.

#include "platform/IKeyboardState.h"

namespace scrivlet {

class QtKeyboardState final : public IKeyboardState
{
public:
    bool IsKeyDown(int virtualKey) const override;
};

} // namespace scrivlet
