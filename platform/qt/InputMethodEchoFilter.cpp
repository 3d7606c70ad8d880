#include "platform/qt/InputMethodEchoFilter.h"

#include <QEvent>
#include <QInputMethodEvent>

namespace scrivlet {

namespace {

// The second commit follows the first within milliseconds; a user who meant the same text again
// would have composed it again, or pressed a key, in between.
constexpr qint64 kEchoWindowMs = 1000;

} // namespace

InputMethodEchoFilter::InputMethodEchoFilter(QObject *parent) : QObject(parent) {}

bool InputMethodEchoFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        m_ended.clear();
    } else if (event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<const QInputMethodEvent *>(event);
        const QString commit = input->commitString();
        const bool composing = !input->preeditString().isEmpty();
        if (!commit.isEmpty() && commit == m_ended && !m_composing && !composing &&
            input->replacementLength() == 0 && m_endedAt.elapsed() < kEchoWindowMs) {
            m_ended.clear();
            return true;
        }
        if (!commit.isEmpty() || composing)
            m_ended = m_composing && !composing ? commit : QString();
        if (!m_ended.isEmpty())
            m_endedAt.start();
        m_composing = composing;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace scrivlet
