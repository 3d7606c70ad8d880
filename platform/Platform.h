#pragma once
// The services a window needs from the platform, handed down from the frame to every window it
// makes; references only, owned by whoever built the program (main, or a test).

namespace scrivlet {

class IMessageService;
class IClipboard;
class IFileDialogs;
class IShell;
class IKeyboardState;

struct Platform
{
    IMessageService &messages;
    IClipboard &clipboard;
    IFileDialogs &fileDialogs;
    IShell &shell;
    IKeyboardState &keyboard;
};

} // namespace scrivlet
