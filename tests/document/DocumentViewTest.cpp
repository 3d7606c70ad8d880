// The document view as a user meets it, headless: keys typed into rtfEdit open, move and accept
// the floating lstPopup, which never takes the keyboard.

#include "document/DocumentView.h"
#include "document/SourceTextEdit.h"
#include "editor/IEditControl.h"
#include "editor/clsRTF.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

class DocumentViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        gTagList = {QStringLiteral("<b>"), QStringLiteral("<div>"), QStringLiteral("<dl>"),
                    QStringLiteral("</div>")};
        const QString programDir = m_dir.path() + u'/';
        ASSERT_TRUE(QDir().mkpath(programDir + QStringLiteral("HTML/Tag")));
        QFile tag(programDir + QStringLiteral("HTML/Tag/dl.tag"));
        ASSERT_TRUE(tag.open(QIODevice::WriteOnly));
        tag.write("[Attribute]\r\nAttributes=2\r\n1=compact\r\n2=title\r\n");
        settingsFile = programDir + QStringLiteral("Scrivlet.ini");
        basINI::SetIniFile(settingsFile);

        view = std::make_unique<DocumentView>(clipboard, keyboard);
        view->bindDocument(document);
        view->setDictionary(programDir, settingsFile);
        view->resize(600, 400);
        view->show();
        QApplication::setActiveWindow(view.get());
        edit = view->findChild<QPlainTextEdit *>(QStringLiteral("rtfEdit"));
        list = view->findChild<QListWidget *>(QStringLiteral("lstPopup"));
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
        QStringList out;
        for (int k = 0; k < list->count(); ++k)
            out.append(list->item(k)->text());
        return out;
    }
    QString selectedRow() const
    {
        const QList<QListWidgetItem *> selected = list->selectedItems();
        return selected.size() == 1 ? selected.first()->text() : QString();
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
    FakeKeyboardState keyboard;
    clsRTF document{messages, StringConverter{}};
    std::unique_ptr<DocumentView> view;
    QPlainTextEdit *edit = nullptr;
    QListWidget *list = nullptr;
};

TEST_F(DocumentViewTest, LessThanDDownSpaceShowsAndAcceptsTheListAsTheUserSeesIt)
{
    control().setText(QStringLiteral("\r\n</body>"));
    control().setSelStart(0);
    const int caretLeft = edit->viewport()->mapTo(view.get(), edit->cursorRect().topLeft()).x();

    QTest::keyClicks(edit, QStringLiteral("<"));
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(rows(), gTagList);
    EXPECT_EQ(selectedRow(), QString());
    EXPECT_EQ(list->pos(), QPoint(caretLeft, caretLineBottom())) << "just under the caret's line";

    QTest::keyClicks(edit, QStringLiteral("d"));
    EXPECT_EQ(selectedRow(), QStringLiteral("<div>"));
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(selectedRow(), QStringLiteral("<dl>"));
    EXPECT_EQ(control().Text(), QStringLiteral("<d\r\n</body>")) << "Down moved the list only";
    EXPECT_EQ(control().SelStart(), 2);

    QTest::keyClick(edit, Qt::Key_Space);
    EXPECT_EQ(control().Text(), QStringLiteral("<dl >\r\n</body>"));
    EXPECT_EQ(control().SelStart(), 4) << "inside the tag, after the space";
    ASSERT_TRUE(list->isVisible()) << "the tag's attribute list";
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("compact=\"\""), QStringLiteral("title=\"\"")}));
    EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);

    QTest::keyClicks(edit, QStringLiteral("t>"));
    EXPECT_EQ(control().Text(), QStringLiteral("<dl title=\"\">\r\n</body>"));
    EXPECT_EQ(control().SelStart(), 12);
    EXPECT_FALSE(list->isVisible());
}

// The other font size is the default one, in the test above.
TEST_F(DocumentViewTest, TheListSitsJustUnderTheCaretsLineAtALargeFont)
{
    edit->setFont(japaneseEditorFont(20));
    control().setText(QStringLiteral("<p>\r\n\r\n<b>"));
    control().setSelStart(5);
    QTest::keyClicks(edit, QStringLiteral("<"));
    EXPECT_EQ(list->y(), caretLineBottom());
}

TEST_F(DocumentViewTest, TheListNeverTakesTheFocusAndAPressOnARowAcceptsIt)
{
    QTest::keyClicks(edit, QStringLiteral("<"));
    const QRect lastRow = list->visualItemRect(list->item(list->count() - 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      lastRow.bottomLeft() + QPoint(5, 5));
    EXPECT_TRUE(list->isVisible()) << "a press below the rows accepts nothing";
    EXPECT_EQ(QApplication::focusWidget(), edit);
    const QRect row = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(control().Text(), QStringLiteral("<dl>"));
}

TEST_F(DocumentViewTest, TheRightButtonAsksForTheEditMenuWhereItWasPressed)
{
    QSignalSpy menus(view.get(), &DocumentView::contextMenuRequested);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(menus.count(), 0);
    QTest::mousePress(edit->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
    ASSERT_EQ(menus.count(), 1);
    EXPECT_EQ(menus.first().first().toPoint(), edit->viewport()->mapToGlobal(QPoint(20, 10)));
}

TEST_F(DocumentViewTest, CommittedInputMethodTextGoesThroughTheListCharacterByCharacter)
{
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("<ｄ"));
    QApplication::sendEvent(edit, &commit);
    EXPECT_EQ(control().Text(), QStringLiteral("<ｄ"));
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(selectedRow(), QStringLiteral("<div>")) << "full-width letters match too";
}

// The widget's own undo is off; the keys belong to the window's Edit menu.
TEST_F(DocumentViewTest, CtrlZAndCtrlYReachTheWindowsCommands)
{
    QAction undo(view.get()), redo(view.get());
    undo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    view->addActions({&undo, &redo});
    QSignalSpy undone(&undo, &QAction::triggered);
    QSignalSpy redone(&redo, &QAction::triggered);
    QTest::keyClicks(edit, QStringLiteral("<b"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undone.count(), 1);
    EXPECT_EQ(redone.count(), 0);
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(undone.count(), 1);
    EXPECT_EQ(redone.count(), 1);
    EXPECT_EQ(control().Text(), QStringLiteral("<b")) << "the widget undid nothing itself";

    QSignalSpy disabled(view.get(), &DocumentView::undoRedoDisabled);
    view->ResetFlag();
    EXPECT_EQ(disabled.count(), 1);
}

TEST_F(DocumentViewTest, DroppedFilesAskForWindowsTheLastFirst)
{
    QSignalSpy opened(view.get(), &DocumentView::openFileRequested);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/web/a.html")),
                  QUrl::fromLocalFile(QStringLiteral("/web/b.html"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &drop);
    ASSERT_EQ(opened.count(), 2);
    EXPECT_EQ(opened.at(0).first().toString(), QStringLiteral("/web/b.html"));
}

} // namespace
} // namespace scrivlet::test
