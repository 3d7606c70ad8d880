#pragma once
// The services a window needs from the platform, handed down from the frame; references only.

namespace scrivlet {

class IMessageService;
class IClipboard;

struct Platform
{
    IMessageService &messages;
    IClipboard &clipboard;
};

} // namespace scrivlet
