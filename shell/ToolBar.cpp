#include "shell/ToolBar.h"

#include <QAction>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolBar>

#include <array>

namespace scrivlet {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<ToolButton, 17> kButtons{{
    {"FileNew"_L1, "FileNew"_L1, ToolTarget::FrameFile, 0},
    {"FileOpen"_L1, "FileOpen"_L1, ToolTarget::FrameFile, 1},
    {"FileUpdate"_L1, "FileUpdate"_L1, ToolTarget::DocumentFile, 5},
    {"Separator1"_L1, {}, ToolTarget::None, -1},
    {"EditCut"_L1, "EditCut"_L1, ToolTarget::DocumentEditIfEnabled, 3},
    {"EditCopy"_L1, "EditCopy"_L1, ToolTarget::DocumentEditIfEnabled, 4},
    {"EditPaste"_L1, "EditPaste"_L1, ToolTarget::DocumentEditIfEnabled, 5},
    {"EditFind"_L1, "EditFind"_L1, ToolTarget::DocumentEdit, 9},
    {"Separator2"_L1, {}, ToolTarget::None, -1},
    {"EditUndo"_L1, "EditUndo"_L1, ToolTarget::DocumentEditIfEnabled, 0},
    {"EditRedo"_L1, "EditRedo"_L1, ToolTarget::DocumentEditIfEnabled, 1},
    {"Separator3"_L1, {}, ToolTarget::None, -1},
    {"ToolIE"_L1, "ToolIE"_L1, ToolTarget::DocumentTool, 0},
    {"ToolNN"_L1, "ToolNN"_L1, ToolTarget::DocumentTool, 1},
    {"ToolBrowser"_L1, "ToolBrowser"_L1, ToolTarget::DocumentTool, 2},
    {"Seperator4"_L1, {}, ToolTarget::None, -1},
    {"HelpIndex"_L1, "HelpContents"_L1, ToolTarget::FrameHelp, 0},
}};

QPixmap renderAt(QSvgRenderer &renderer, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return pixmap;
}

} // namespace

std::span<const ToolButton> toolButtons()
{
    return kButtons;
}

const ToolButton *findToolButton(const QString &key)
{
    for (const ToolButton &button : kButtons) {
        if (button.key == key)
            return &button;
    }
    return nullptr;
}

QIcon toolBarIcon(QLatin1StringView image)
{
    // Rendered here rather than left to an icon-engine plugin, which a minimal Qt install may
    // lack: each size is drawn from the vector, not scaled from the other.
    QSvgRenderer renderer(QStringLiteral(":/icons/") + image + QStringLiteral(".svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : {16, 32})
        icon.addPixmap(renderAt(renderer, size));
    return icon;
}

void buildToolBar(QToolBar *bar)
{
    for (const ToolButton &button : kButtons) {
        QAction *action = button.target == ToolTarget::None
                              ? bar->addSeparator()
                              : bar->addAction(toolBarIcon(button.image), QString());
        action->setObjectName(QString(button.key));
    }
}

} // namespace scrivlet
