#pragma once
// The text widget of a document window: a plain-text editor whose undo and redo belong to the
// editor document, not to the widget.

#include <QPlainTextEdit>

namespace scrivlet {

class SourceTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit SourceTextEdit(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// The fonts a Japanese page reads well in, the usual one first.
QFont japaneseEditorFont(double pointSize = 9.0);

} // namespace scrivlet
