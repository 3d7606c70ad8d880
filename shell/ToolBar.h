#pragma once
// The frame's toolbar: its buttons in order, the command each one runs, and their images drawn
// from the SVG files compiled into the program. Owns nothing.

#include <QLatin1StringView>

#include <span>

class QIcon;
class QString;
class QToolBar;

namespace scrivlet {

// Where a button's command lives.
enum class ToolTarget {
    None,                  // a separator
    FrameFile,             // the frame's File menu
    FrameHelp,             // the frame's Help menu
    DocumentFile,          // the active document window's File menu
    DocumentEdit,          // the active document window's Edit menu
    DocumentEditIfEnabled, // the same, only while that Edit item is enabled
    DocumentTool,          // the active document window's Tool menu
};

struct ToolButton
{
    QLatin1StringView key;
    QLatin1StringView image; // empty for a separator
    ToolTarget target;
    int index; // the item's index in its menu family
};

// The seventeen positions, first to last.
std::span<const ToolButton> toolButtons();
// The button with this key, compared exactly; null when no button has it.
const ToolButton *findToolButton(const QString &key);

// An image of the toolbar by its image key, rendered crisp at 16 and at 32 pixels.
QIcon toolBarIcon(QLatin1StringView image);

// Adds the buttons to bar in order, each an action named by its key, with an image and no
// caption or tooltip; separators are separator actions named by their keys.
void buildToolBar(QToolBar *bar);

} // namespace scrivlet
