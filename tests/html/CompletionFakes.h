#pragma once
// Test doubles of the completion list, its window and the keyboard, and a window wired as a
// document window wires the completion: the in-memory edit control, the editor document and
// the handlers' callbacks, which record what they were asked.

#include "editor/MemoryEditControl.h"
#include "editor/clsRTF.h"
#include "html/Completion.h"
#include "platform/Globals.h"
#include "platform/IKeyboardState.h"
#include "tests/common/FakePlatform.h"

#include <QMap>
#include <QSet>
#include <QStringList>

namespace scrivlet::html::test {

class FakePopupList final : public IPopupList
{
public:
    void Clear() override
    {
        rows.clear();
        index = -1;
        ++clears;
    }
    void AddItem(const QString &item) override { rows.append(item); }
    QString List(int i) const override { return rows.value(i); }
    int ListCount() const override { return static_cast<int>(rows.size()); }
    int ListIndex() const override { return index; }
    void setListIndex(int i) override { index = i; }
    bool Visible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    int Top() const override { return top; }
    void Move(int l, int t) override
    {
        left = l;
        top = t;
        ++moves;
    }

    QStringList rows;
    int index = -1;
    bool visible = false;
    int width = 1935;
    int height = 1290;
    int left = 0;
    int top = 0;
    int moves = 0;
    int clears = 0;
};

class FakeWindowMetrics final : public IWindowMetrics
{
public:
    int ScaleWidth() const override { return scaleWidth; }
    int ScaleHeight() const override { return scaleHeight; }
    double lineOffsetFactor() const override { return factor; }

    int scaleWidth = 12000;
    int scaleHeight = 9000;
    double factor = 1.5;
};

class FakeKeyboard final : public IKeyboardState
{
public:
    bool IsKeyDown(int virtualKey) const override { return down.contains(virtualKey); }
    QSet<int> down;
};

// One document window's completion over the in-memory control. Characters typed through
// type() go to the key-press handler first and reach the text only when it lets them.
struct CompletionWindow
{
    scrivlet::test::FakeClipboard clipboard;
    scrivlet::test::FakeMessageService messages;
    MemoryEditControl rtfEdit{clipboard};
    clsRTF document{messages, StringConverter{}};
    FakePopupList lstPopup;
    FakeWindowMetrics window;
    FakeKeyboard keyboard;
    CompletionController completion{rtfEdit, lstPopup, window, keyboard};

    // What the callbacks were asked.
    QStringList attributeRequests;
    QMap<QString, AttributeRows> tagFiles; // by tag name; others get gAttributeList
    QStringList opened;
    QMap<QString, QString> fileTexts;
    QStringList loaded;
    int editMenus = 0;
    int undoRedoDisabled = 0;

    CompletionWindow()
    {
        ResetGlobals();
        document.Init(&rtfEdit);
        completion.setDocument(&document);
        rtfEdit.setFontSize(9.0);
        rtfEdit.setTwipsPerPixel({15.0, 15.0});
        CompletionController::Callbacks callbacks;
        callbacks.attributeRows = [this](const QString &name) {
            attributeRequests.append(name);
            return tagFiles.contains(name) ? tagFiles.value(name) : AttributeRows{gAttributeList};
        };
        callbacks.popupEditMenu = [this] {
            ++editMenus;
        };
        callbacks.newWindow = [this](const QString &path) {
            opened.append(path);
        };
        callbacks.loadTextFile = [this](const QString &path) {
            loaded.append(path);
            return fileTexts.value(path);
        };
        callbacks.disableUndoRedo = [this] {
            ++undoRedoDisabled;
        };
        completion.setCallbacks(std::move(callbacks));
    }
    ~CompletionWindow() { ResetGlobals(); }

    // Puts text in the control with the caret where "|" stands.
    void setText(const QString &marked)
    {
        const qsizetype caret = marked.indexOf(u'|');
        QString text = marked;
        if (caret >= 0)
            text.remove(caret, 1);
        rtfEdit.setText(text);
        rtfEdit.setSelStart(static_cast<int>(caret >= 0 ? caret : text.size()));
    }
    // The text with "|" at the caret.
    QString marked() const
    {
        QString text = rtfEdit.Text();
        text.insert(rtfEdit.SelStart(), u'|');
        return text;
    }

    // One character as the keyboard types it; true when the handler let it through.
    bool press(QChar c)
    {
        int code = c.unicode();
        completion.rtfEdit_KeyPress(code);
        if (code == 0)
            return false;
        if (code == keys::Backspace)
            rtfEdit.pressBackspace();
        else if (code == keys::Enter)
            rtfEdit.pressEnter();
        else
            rtfEdit.typeText(QString(QChar(char16_t(code))));
        return true;
    }
    void type(const QString &text)
    {
        for (const QChar c : text)
            press(c);
    }
    // A key going down; true when the handler suppressed it.
    bool keyDown(int keyCode, int shift = 0)
    {
        completion.rtfEdit_KeyDown(keyCode, shift);
        return keyCode == 0;
    }
    QString selectedRow() const { return lstPopup.List(lstPopup.ListIndex()); }
};

} // namespace scrivlet::html::test
