#pragma once
// The services a window needs from the platform, handed down from the frame to every window it
// makes; references only, owned by whoever built the program (main, or a test).

namespace scrivlet {

class IMessageService;
class IClipboard;
class IFileDialogs;
class IShell;
class IRegistry;
class IInstanceChannel;

struct Platform
{
    IMessageService &messages;
    IClipboard &clipboard;
    IFileDialogs &fileDialogs;
    IShell &shell;
    // The key store of the shell verbs; the options dialog's shell page needs it.
    IRegistry *registry = nullptr;
    // Where the frame serves the commands of the desktop and of second starts; none in tests
    // that do not need it.
    IInstanceChannel *instances = nullptr;
};

} // namespace scrivlet
