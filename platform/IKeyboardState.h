#pragma once
// Whether a key or mouse button is held down right now; owns nothing.

namespace scrivlet {

class IKeyboardState
{
public:
    virtual ~IKeyboardState() = default;
    // virtualKey uses the classic numbering: 2 the right mouse button, 16 Shift, 17 Ctrl, 18 Alt.
    virtual bool IsKeyDown(int virtualKey) const = 0;
};

} // namespace scrivlet
