#pragma once
// Installed on the application: drops the second copy of a composition that an input method
// commits twice. IBus with mozc does so whenever a composition ends other than by the user's own
// key (a click, the focus moving, the program asking for the text): Qt's plugin commits the
// composed text, then resets the engine, and the engine commits the same text again a moment
// later into whatever has the focus by then, another document or another field. It also keeps a
// composition the user withdrew, and commits it when the focus next moves.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace scrivlet {

class InputMethodEchoFilter final : public QObject
{
    Q_OBJECT
public:
    explicit InputMethodEchoFilter(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_composing = false;
    QString m_composed; // the last text composed
    // The commit that ended the last composition, until any other input comes.
    QString m_ended;
    QElapsedTimer m_endedAt;
    // What the user withdrew from a composition (Escape, or BackSpace down to nothing), until the
    // input method composes or commits again: the plugin keeps it, and commits it when the focus
    // next moves.
    QString m_withdrawn;
};

} // namespace scrivlet
