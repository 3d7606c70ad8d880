#pragma once
// The edit control over a real text widget, typed into with key events as a user types.

#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "tests/common/Differential.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

namespace scrivlet::test {

class WidgetKeyDriver final : public KeyDriver
{
public:
    explicit WidgetKeyDriver(QWidget &widget) : m_widget(widget) {}
    // QTest::keyClicks narrows to Latin-1; an event carrying the text reaches the widget as an
    // input method would.
    void typeText(const QString &text) override
    {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(&m_widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
        QApplication::sendEvent(&m_widget, &release);
    }
    void pressEnter() override { QTest::keyClick(&m_widget, Qt::Key_Return); }
    void pressBackspace() override { QTest::keyClick(&m_widget, Qt::Key_Backspace); }
    void pressDelete() override { QTest::keyClick(&m_widget, Qt::Key_Delete); }

private:
    QWidget &m_widget;
};

struct WidgetKit
{
    FakeClipboard clipboard;
    SourceTextEdit widget;
    PlainTextEditAdapter control{&widget, clipboard};
    WidgetKeyDriver keys{widget};
    WidgetKit()
    {
        widget.resize(400, 300);
        widget.show();
    }
    Subject subject() { return {control, keys, clipboard}; }
};

} // namespace scrivlet::test
