#include "document/SourceTextEdit.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace scrivlet {

namespace {

bool isUndoOrRedo(const QKeyEvent *key)
{
    const QKeyCombination combo = key->keyCombination();
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

} // namespace

SourceTextEdit::SourceTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    document()->setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    setFont(japaneseEditorFont());
}

bool SourceTextEdit::event(QEvent *event)
{
    // The widget claims Ctrl+Z and Ctrl+Y for its own undo, which is off; leaving them unclaimed
    // lets the window's Undo and Redo commands have them.
    if (event->type() == QEvent::ShortcutOverride &&
        isUndoOrRedo(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void SourceTextEdit::keyPressEvent(QKeyEvent *event)
{
    // Shift+Enter would insert a line separator that no kanji code can hold; a source file wants
    // an ordinary line break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    if (isUndoOrRedo(event)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QFont japaneseEditorFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Noto Sans Mono CJK JP")});
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace scrivlet
