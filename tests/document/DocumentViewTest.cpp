// The document view as a user meets it, headless: keys typed into rtfEdit open, move and accept
// the floating lstPopup, which never takes the keyboard.

#include "document/DocumentView.h"
#include "document/PopupListWidget.h"
#include "document/SourceTextEdit.h"
#include "editor/IEditControl.h"
#include "editor/clsRTF.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "platform/qt/InputMethodEchoFilter.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

class DocumentViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        gTagList = {u"<b>"_s, u"<div>"_s, u"<dl>"_s, u"</div>"_s};
        const QString programDir = m_dir.path() + u'/';
        QFile tag(programDir + u"HTML/Tag/dl.tag"_s);
        ASSERT_TRUE(QDir(programDir).mkpath(u"HTML/Tag"_s) && tag.open(QIODevice::WriteOnly));
        tag.write("[Attribute]\r\nAttributes=2\r\n1=compact\r\n2=title\r\n");
        settingsFile = programDir + u"Scrivlet.ini"_s;
        basINI::SetIniFile(settingsFile);

        view = std::make_unique<DocumentView>(clipboard);
        view->bindDocument(document);
        view->setDictionary(programDir, settingsFile);
        view->resize(600, 400);
        view->show();
        QApplication::setActiveWindow(view.get());
        edit = view->findChild<SourceTextEdit *>(u"rtfEdit"_s);
        list = view->findChild<QListWidget *>(u"lstPopup"_s);
        ASSERT_TRUE(edit && list);
        edit->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        basINI::ResetForTests();
        ResetGlobals();
    }

    IEditControl &control() { return view->control(); }
    QStringList rows() const
    {
        return mapped(std::views::iota(0, list->count()),
                      [this](int k) { return list->item(k)->text(); });
    }
    QString selectedRow() const
    {
        return list->selectedItems().size() == 1 ? list->selectedItems()[0]->text() : QString();
    }
    // What an input method sends: the text it composes, and the text it commits.
    static void input(QWidget *to, const QString &preedit, const QString &commit)
    {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(to, &event);
    }
    // The bottom of the caret's line, in the view's pixels.
    int caretLineBottom() const
    {
        return edit->viewport()->mapTo(view.get(), edit->cursorRect().bottomLeft()).y() + 1;
    }

    QTemporaryDir m_dir;
    QString settingsFile;
    FakeClipboard clipboard;
    FakeMessageService messages;
    clsRTF document{messages, StringConverter{}};
    std::unique_ptr<DocumentView> view;
    SourceTextEdit *edit = nullptr;
    QListWidget *list = nullptr;
};

TEST_F(DocumentViewTest, LessThanDDownSpaceShowsAndAcceptsTheListAsTheUserSeesIt)
{
    control().setText(u"\r\n</body>"_s);
    control().setSelStart(0);
    const int caretLeft = edit->viewport()->mapTo(view.get(), edit->cursorRect().topLeft()).x();

    QTest::keyClicks(edit, u"<"_s);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(rows(), gTagList);
    EXPECT_EQ(selectedRow(), QString());
    EXPECT_EQ(list->pos(), QPoint(caretLeft, caretLineBottom())) << "just under the caret's line";

    QTest::keyClicks(edit, u"d"_s);
    EXPECT_EQ(selectedRow(), u"<div>"_s);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(selectedRow(), u"<dl>"_s);
    EXPECT_EQ(control().Text(), u"<d\r\n</body>"_s) << "Down moved the list only";
    EXPECT_EQ(control().SelStart(), 2);

    QTest::keyClick(edit, Qt::Key_Space);
    EXPECT_EQ(control().Text(), u"<dl >\r\n</body>"_s);
    EXPECT_EQ(control().SelStart(), 4) << "inside the tag, after the space";
    ASSERT_TRUE(list->isVisible()) << "the tag's attribute list";
    EXPECT_EQ(rows(), (QStringList{u"compact=\"\""_s, u"title=\"\""_s}));
    EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);

    QTest::keyClicks(edit, u"t>"_s);
    EXPECT_EQ(control().Text(), u"<dl title=\"\">\r\n</body>"_s);
    EXPECT_EQ(control().SelStart(), 12);
    EXPECT_FALSE(list->isVisible());
}

// Under a dark theme, which makes text white, the light grey list keeps dark text.
TEST_F(DocumentViewTest, TheListStaysReadableUnderADarkTheme)
{
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    const PopupListWidget popup;
    QApplication::setPalette(original);
    const QColor text = popup.palette().color(QPalette::Text);
    const QColor base = popup.palette().color(QPalette::Base);
    EXPECT_GT(std::abs(base.lightness() - text.lightness()), 128);
}

// The other font size is the default one, in the test above.
TEST_F(DocumentViewTest, TheListSitsJustUnderTheCaretsLineAtALargeFont)
{
    edit->setFont(japaneseEditorFont(20));
    control().setText(u"<p>\r\n\r\n<b>"_s);
    control().setSelStart(5);
    QTest::keyClicks(edit, u"<"_s);
    EXPECT_EQ(list->y(), caretLineBottom());
}

// Scrolled or made smaller, the view keeps the list at its caret, not where the caret was.
TEST_F(DocumentViewTest, TheListFollowsTheCaretWhenTheViewScrollsOrShrinks)
{
    control().setText(QString(u"line\r\n"_s).repeated(60));
    control().setSelStart(5 * 6);
    QTest::keyClicks(edit, u"<"_s);
    ASSERT_TRUE(list->isVisible());
    edit->verticalScrollBar()->setValue(3);
    EXPECT_EQ(list->y(), caretLineBottom());
    view->resize(200, 300);
    QApplication::processEvents();
    EXPECT_EQ(list->y(), caretLineBottom());
    EXPECT_LE(list->x() + list->width(), view->width());
}

TEST_F(DocumentViewTest, TheListNeverTakesTheFocusAndAPressOnARowAcceptsIt)
{
    QTest::keyClicks(edit, u"<"_s);
    const QRect lastRow = list->visualItemRect(list->item(list->count() - 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      lastRow.bottomLeft() + QPoint(5, 5));
    EXPECT_TRUE(list->isVisible()) << "a press below the rows accepts nothing";
    EXPECT_EQ(QApplication::focusWidget(), edit);
    const QRect row = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(control().Text(), u"<dl>"_s);

    // A double-click on a row: the list hides on the first press, so Qt hands the second to the
    // text beneath, alone, as a double-click. It must not select a word there.
    const QString words = u"\r\n"_s + u"word word word word word\r\n"_s.repeated(20);
    control().setText(words);
    control().setSelStart(0);
    QTest::keyClicks(edit, u"<"_s);
    const QPoint onRow = list->viewport()->mapTo(view.get(), row.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    const QPoint beneath = edit->viewport()->mapFrom(view.get(), onRow);
    for (const QEvent::Type type : {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent half(type, beneath, edit->viewport()->mapToGlobal(beneath), Qt::LeftButton,
                         type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(edit->viewport(), &half);
    }
    QTest::keyClicks(edit, u"x"_s);
    EXPECT_EQ(control().Text(), u"<dl>x"_s + words);
}

// A drag begun outside the text, as a quick flick up to the toolbar does, ends with its own
// release; Qt's widget then replayed the move on a scrolling timer and started a second drag
// with the button up, which took every key and dropped the text at the next click.
TEST_F(DocumentViewTest, ADragBegunOutsideTheTextStartsNoSecondDrag)
{
    control().setText(u"abc def"_s);
    control().setSelStart(4);
    control().setSelLength(3);
    // Each drag is a new child of the text widget or of its viewport.
    struct Drags : QObject
    {
        int made = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            made += event->type() == QEvent::ChildAdded;
            return false;
        }
    } drags;
    edit->installEventFilter(&drags);
    edit->viewport()->installEventFilter(&drags);
    QTextCursor at = edit->textCursor();
    at.setPosition(5);
    QTest::mousePress(edit->viewport(), Qt::LeftButton, {}, edit->cursorRect(at).center());
    QTest::mouseMove(edit->viewport(), QPoint(edit->cursorRect(at).center().x(), -3));
    QTest::qWait(400);
    EXPECT_EQ(drags.made, 1);
    EXPECT_EQ(std::pair(control().Text(), control().SelText()), std::pair(u"abc def"_s, u"def"_s));
    QTest::mouseRelease(edit->viewport(), Qt::LeftButton);
}

// A double-click on Japanese takes the run of one script, for the middle button's paste too,
// and a drag stretches it from there; on markup, the widget's own word.
TEST_F(DocumentViewTest, ADoubleClickTakesAJapaneseWordOrAWordOfMarkup)
{
    control().setText(u"今日は、晴れです。<p class=\"x\">"_s);
    const auto pointAt = [this](int position, int right) {
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(position);
        return edit->cursorRect(cursor).center() + QPoint(right, 0);
    };
    QClipboard *clipboard = QGuiApplication::clipboard();
    for (const auto &[at, word] :
         {std::pair{1, u"今日"_s}, {6, u"れです"_s}, {13, u"class"_s}, {3, u"、"_s}}) {
        QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, pointAt(at, 2));
        EXPECT_EQ(control().SelText(), word) << at;
        if (clipboard->supportsSelection()) {
            EXPECT_EQ(clipboard->text(QClipboard::Selection), word);
        }
        QTest::mouseRelease(edit->viewport(), Qt::LeftButton, {}, pointAt(at, 2));
        QTest::qWait(QApplication::doubleClickInterval() + 10);
    }
    QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, pointAt(6, 2));
    QTest::mouseMove(edit->viewport(), pointAt(2, 0));
    EXPECT_EQ(control().SelText(), u"は、晴れです"_s);
    QTest::mouseMove(edit->viewport(), pointAt(6, 0));
    EXPECT_EQ(control().SelText(), u"れです"_s);
    QTest::mouseRelease(edit->viewport(), Qt::LeftButton, {}, pointAt(6, 0));
}

// Qt takes a half-width kana and its mark for one cluster, and its boundary nearest to a point
// on the mark can lie words away.
TEST_F(DocumentViewTest, ADoubleClickOnAHalfWidthMarkTakesItsWord)
{
    control().setText(u"ab ﾃﾞｰﾀ cd"_s);
    QTextCursor cursor = edit->textCursor();
    const auto xAt = [&](int position) {
        cursor.setPosition(position);
        return edit->cursorRect(cursor).left();
    };
    const int y = edit->cursorRect(cursor).center().y();
    for (const int x : {(xAt(3) + xAt(5)) / 2, xAt(5) - 2}) {
        QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, QPoint(x, y));
        EXPECT_EQ(control().SelText(), u"ﾃﾞｰﾀ"_s) << x;
        QTest::mouseRelease(edit->viewport(), Qt::LeftButton, {}, QPoint(x, y));
        QTest::qWait(QApplication::doubleClickInterval() + 10);
    }
}

// The Menu key and Shift+F10 ask for it at the caret.
TEST_F(DocumentViewTest, TheRightButtonAndTheMenuKeyAskForTheEditMenu)
{
    QSignalSpy menus(view.get(), &DocumentView::contextMenuRequested);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(menus.count(), 0);
    QTest::mousePress(edit->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
    ASSERT_EQ(menus.count(), 1);
    EXPECT_EQ(menus.first().first().toPoint(), edit->viewport()->mapToGlobal(QPoint(20, 10)));
    // The event the desktop turns the Menu key into, and Shift+F10 itself.
    QTest::keyClicks(edit, u"ab"_s);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(edit, &key);
    QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(menus.count(), 3);
    for (const QList<QVariant> &asked : menus.mid(1))
        EXPECT_EQ(asked.first().toPoint(),
                  edit->viewport()->mapToGlobal(edit->cursorRect().bottomLeft()));
    EXPECT_EQ(control().Text(), u"ab"_s);
}

// Qt draws the caret's whole line at every blink: in a line of thousands of characters the
// caret stays still. The blink comes back with the caret on a short line, with the focus
// elsewhere, and when the text goes.
TEST_F(DocumentViewTest, TheCaretStaysStillInALongLine)
{
    const int blink = QApplication::cursorFlashTime();
    ASSERT_GT(blink, 0);
    control().setText(u"short\r\n"_s + QString(5000, u'x'));
    auto *other = new QLineEdit(view.get());
    other->show();
    QWidget *const text = edit;
    for (const auto &[where, focused, expected] : {std::tuple{10, text, 0},
                                                   {2, text, blink},
                                                   {10, text, 0},
                                                   {10, static_cast<QWidget *>(other), blink},
                                                   {10, text, 0}}) {
        control().setSelStart(where);
        focused->setFocus();
        EXPECT_EQ(QApplication::cursorFlashTime(), expected) << where;
    }
    view.reset();
    EXPECT_EQ(QApplication::cursorFlashTime(), blink);
}

TEST_F(DocumentViewTest, CommittedInputMethodTextGoesThroughTheListCharacterByCharacter)
{
    input(edit, {}, u"<ｄ"_s);
    EXPECT_EQ(control().Text(), u"<ｄ"_s);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(selectedRow(), u"<div>"_s) << "full-width letters match too";
    // Backspace takes a character outside the BMP whole from the word the list follows.
    input(edit, {}, u"😀"_s);
    EXPECT_EQ(selectedRow(), QString());
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(std::pair(control().Text(), selectedRow()), std::pair(u"<ｄ"_s, u"<div>"_s));
}

// A click on a row changes the text from code, which would drop what the input method is still
// composing: it goes in first, as a typed character, and the list follows it.
TEST_F(DocumentViewTest, AClickOnTheListKeepsWhatTheInputMethodIsComposing)
{
    QTest::keyClicks(edit, u"<d"_s);
    ASSERT_TRUE(list->isVisible());
    input(edit, u"ｂ"_s, {});
    EXPECT_EQ(control().Text(), u"<d"_s) << "composing is not yet text";
    const QRect row = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(control().Text(), u"<dｂ"_s);
    EXPECT_TRUE(edit->textCursor().block().layout()->preeditAreaText().isEmpty());
    EXPECT_EQ(selectedRow(), QString()) << "no tag starts with <dｂ: the click accepts none";
}

// IBus with mozc commits a composition ended by a click or a focus change twice, the second
// copy a moment later into whatever has the focus then. Composing again, or a key, is new input.
TEST_F(DocumentViewTest, AnInputMethodsSecondCopyOfACompositionIsDropped)
{
    InputMethodEchoFilter echoes;
    qApp->installEventFilter(&echoes);
    QLineEdit other;
    input(edit, u"か"_s, {});
    input(edit, {}, u"か"_s);
    input(&other, {}, u"か"_s);
    EXPECT_EQ(std::pair(control().Text(), other.text()), std::pair(u"か"_s, QString()));
    input(edit, u"か"_s, {});
    input(edit, {}, u"か"_s);
    QTest::keyClick(edit, Qt::Key_Left);
    input(edit, {}, u"か"_s);
    EXPECT_EQ(control().Text(), u"かかか"_s);
    // What the user withdrew (Escape, or BackSpace down to nothing) comes back when the focus
    // moves: dropped too.
    input(edit, u"うみ"_s, {});
    input(edit, u"う"_s, {});
    input(edit, {}, {});
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_Control);
    input(&other, {}, u"う"_s);
    EXPECT_EQ(std::pair(control().Text(), other.text()), std::pair(u"かかか"_s, QString()));
}

// Resetting the history asks the window to disable Undo and Redo.
TEST_F(DocumentViewTest, ResetFlagAsksToDisableUndoAndRedo)
{
    QSignalSpy disabled(view.get(), &DocumentView::undoRedoDisabled);
    view->ResetFlag();
    EXPECT_EQ(disabled.count(), 1);
}

// The widget's own cut, copy and paste keys move the characters as they stand.
TEST_F(DocumentViewTest, CtrlXAndCtrlVKeepEveryCharacter)
{
    const QString text = u"価格\u00A0100円\r\n<p>\u3000&nbsp;</p>"_s;
    control().setText(text);
    control().setSelLength(int(text.size()));
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), QString(text).replace(u"\r\n"_s, u"\n"_s));
    EXPECT_EQ(mime->formats(), QStringList{u"text/plain"_s});
    EXPECT_EQ(control().Text(), QString());
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(control().Text(), text);
}

} // namespace
} // namespace scrivlet::test
