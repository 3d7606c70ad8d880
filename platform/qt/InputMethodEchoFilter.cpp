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
    // The plugin keeps a withdrawn composition through any keys (the Escape that withdrew it
    // reaches the widget as well, and Ctrl before a shortcut); only new input method text ends it.
    if (event->type() == QEvent::KeyPress) {
        m_ended.clear();
    } else if (event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<const QInputMethodEvent *>(event);
        const QString commit = input->commitString();
        const QString preedit = input->preeditString();
        const bool composing = !preedit.isEmpty();
        if (!commit.isEmpty() && !m_composing && !composing && input->replacementLength() == 0 &&
            ((commit == m_ended && m_endedAt.elapsed() < kEchoWindowMs) || commit == m_withdrawn)) {
            m_ended.clear();
            m_withdrawn.clear();
            return true;
        }
        if (!commit.isEmpty() || composing) {
            m_ended = m_composing && !composing ? commit : QString();
            m_withdrawn.clear();
        } else if (m_composing) {
            m_withdrawn = m_composed; // cancelled, or erased with BackSpace
        }
        if (!m_ended.isEmpty())
            m_endedAt.start();
        if (composing)
            m_composed = preedit;
        m_composing = composing;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace scrivlet
