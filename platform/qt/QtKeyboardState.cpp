#include "platform/qt/QtKeyboardState.h"

#include <QGuiApplication>

namespace scrivlet {

bool QtKeyboardState::IsKeyDown(int virtualKey) const
{
    switch (virtualKey) {
    case 1:
        return QGuiApplication::mouseButtons() & Qt::LeftButton;
    case 2:
        return QGuiApplication::mouseButtons() & Qt::RightButton;
    case 4:
        return QGuiApplication::mouseButtons() & Qt::MiddleButton;
    case 16:
        return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    case 17:
        return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    case 18:
        return QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
    default:
        return false;
    }
}

} // namespace scrivlet
