// The document view as a user meets it, headless: keys typed into rtfEdit open, move and accept
// the floating lstPopup, which never takes the keyboard.

#include "document/DocumentView.h"
#include "document/PlainTextEditAdapter.h"
#include "document/PopupListWidget.h"
#include "document/SourceTextEdit.h"
#include "editor/clsRTF.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "platform/IKeyboardState.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

namespace scrivlet::test {
namespace {

class NoKeysHeld final : public IKeyboardState
{
public:
    bool IsKeyDown(int) const override { return false; }
};

class DocumentViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        gTagList = {QStringLiteral("<b>"), QStringLiteral("<div>"), QStringLiteral("<dl>"),
                    QStringLiteral("</div>")};
        gAttributeList = {QStringLiteral("id=\"\""), QStringLiteral("class=\"\"")};
        ASSERT_TRUE(m_dir.isValid());
        programDir = m_dir.path() + u'/';
        ASSERT_TRUE(QDir().mkpath(programDir + QStringLiteral("HTML/Tag")));
        QFile tag(programDir + QStringLiteral("HTML/Tag/dl.tag"));
        ASSERT_TRUE(tag.open(QIODevice::WriteOnly));
        tag.write("[Attribute]\r\nAttributes=2\r\n1=compact\r\n2=title\r\n");
        tag.close();
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
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(list, nullptr);
        edit->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        basINI::ResetForTests();
        ResetGlobals();
    }

    // A character as an input method or the keyboard delivers it, whatever its code.
    void type(const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &release);
        }
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
        const QRect caret = edit->cursorRect();
        return edit->viewport()->mapTo(view.get(), caret.bottomLeft()).y() + 1;
    }

    QTemporaryDir m_dir;
    QString programDir;
    QString settingsFile;
    FakeClipboard clipboard;
    FakeMessageService messages;
    NoKeysHeld keyboard;
    clsRTF document{messages, StringConverter{}};
    std::unique_ptr<DocumentView> view;
    QPlainTextEdit *edit = nullptr;
    QListWidget *list = nullptr;
};

TEST_F(DocumentViewTest, TheListIsALightGreyFloatingListThatNeverTakesTheFocus)
{
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->parentWidget(), view.get());
    EXPECT_EQ(list->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(224, 224, 224));
    const double twips = 1440.0 / list->logicalDpiX();
    EXPECT_EQ(list->width(), qRound(1935 / twips));
    EXPECT_EQ(list->height(), qRound(1290 / (1440.0 / list->logicalDpiY())));
    EXPECT_EQ(edit->geometry(), view->rect()) << "the text fills the view";
}

TEST_F(DocumentViewTest, LessThanDDownSpaceShowsAndAcceptsTheListAsTheUserSeesIt)
{
    control().setText(QStringLiteral("\r\n</body>"));
    control().setSelStart(0);
    const int caretLeft = edit->viewport()->mapTo(view.get(), edit->cursorRect().topLeft()).x();

    QTest::keyClicks(edit, QStringLiteral("<"));
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(rows(), gTagList);
    EXPECT_EQ(selectedRow(), QString());
    EXPECT_EQ(list->y(), caretLineBottom()) << "just under the caret's line";
    EXPECT_EQ(list->x(), caretLeft) << "where the caret stood when < was typed";

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
    EXPECT_EQ(selectedRow(), QString());
    EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);

    QTest::keyClicks(edit, QStringLiteral("t>"));
    EXPECT_EQ(control().Text(), QStringLiteral("<dl title=\"\">\r\n</body>"));
    EXPECT_EQ(control().SelStart(), 12);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit);
}

TEST_F(DocumentViewTest, TheListSitsJustUnderTheCaretsLineAtEveryFontSize)
{
    control().setText(QStringLiteral("<p>\r\n\r\n<b>"));
    for (const double points : {9.0, 10.5, 12.0, 20.0}) {
        edit->setFont(japaneseEditorFont(points));
        control().setSelStart(5);
        QTest::keyClicks(edit, QStringLiteral("<"));
        ASSERT_TRUE(list->isVisible());
        EXPECT_EQ(list->y(), caretLineBottom()) << points << " pt";
        QTest::keyClick(edit, Qt::Key_Escape);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
}

TEST_F(DocumentViewTest, AnAttributeRowAcceptedWithSpacePutsTheCaretBetweenItsQuotes)
{
    control().setText(QStringLiteral("<p>\r\n<b>"));
    control().setSelStart(2);
    QTest::keyClicks(edit, QStringLiteral(" c "));
    EXPECT_EQ(control().Text(), QStringLiteral("<p class=\"\">\r\n<b>"));
    EXPECT_EQ(control().SelStart(), 10);
    EXPECT_FALSE(list->isVisible());
}

TEST_F(DocumentViewTest, EscapeAndEnterHideTheList)
{
    QTest::keyClicks(edit, QStringLiteral("<d"));
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    QTest::keyClicks(edit, QStringLiteral("<d"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(control().Text(), QStringLiteral("<d<d\r\n"));
}

TEST_F(DocumentViewTest, BackspaceNarrowsTheWordAndStillDeletes)
{
    QTest::keyClicks(edit, QStringLiteral("<b"));
    ASSERT_EQ(selectedRow(), QStringLiteral("<b>"));
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(selectedRow(), QString());
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(selectedRow(), QStringLiteral("<b>"));
    EXPECT_EQ(control().Text(), QStringLiteral("<b"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(list->isVisible());
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(control().Text(), QString());
}

TEST_F(DocumentViewTest, UpAndDownMoveTheTextCaretWhileTheListIsHidden)
{
    control().setText(QStringLiteral("ab\r\ncd"));
    control().setSelStart(5);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(control().SelStart(), 1);
}

TEST_F(DocumentViewTest, APressOnARowAcceptsThatRow)
{
    QTest::keyClicks(edit, QStringLiteral("<"));
    ASSERT_TRUE(list->isVisible());
    const QRect row = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(control().Text(), QStringLiteral("<dl>"));
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit);
}

TEST_F(DocumentViewTest, TypedTextThatIsNotLatin1DrivesTheList)
{
    gTagList = {QStringLiteral("<b>"), QStringLiteral("<見出し>")};
    type(QStringLiteral("<見"));
    EXPECT_EQ(selectedRow(), QStringLiteral("<見出し>"));
    type(QStringLiteral(">"));
    EXPECT_EQ(control().Text(), QStringLiteral("<見出し>"));
}

TEST_F(DocumentViewTest, CommittedInputMethodTextGoesThroughTheListCharacterByCharacter)
{
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("<ｄ"));
    QApplication::sendEvent(edit, &commit);
    EXPECT_EQ(control().Text(), QStringLiteral("<ｄ"));
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(selectedRow(), QStringLiteral("<div>")) << "full-width letters match too";
    QInputMethodEvent accept;
    accept.setCommitString(QStringLiteral(">"));
    QApplication::sendEvent(edit, &accept);
    EXPECT_EQ(control().Text(), QStringLiteral("<div>"));
}

TEST_F(DocumentViewTest, NearTheRightEdgeTheListStaysInsideTheTextArea)
{
    view->resize(200, 400);
    control().setText(QString(40, u'x'));
    control().setSelStart(40);
    edit->horizontalScrollBar()->setValue(0);
    control().setSelStart(12);
    QTest::keyClicks(edit, QStringLiteral("<"));
    const QRect area(edit->viewport()->mapTo(view.get(), QPoint(0, 0)), edit->viewport()->size());
    EXPECT_LE(list->geometry().right(), area.right() + 1);
}

TEST_F(DocumentViewTest, TheRightButtonAsksForTheEditMenuWhereItWasPressed)
{
    QSignalSpy menus(view.get(), &DocumentView::contextMenuRequested);
    QTest::mousePress(edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(menus.count(), 0);
    QTest::mousePress(edit->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
    ASSERT_EQ(menus.count(), 1);
    EXPECT_EQ(menus.first().first().toPoint(), edit->viewport()->mapToGlobal(QPoint(20, 10)));
}

// A drag that enters the text and is let go there, as the windowing system delivers it.
void dropOn(QWidget *target, const QMimeData *mime, Qt::KeyboardModifiers modifiers)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &drop);
}

std::unique_ptr<QMimeData> fileDrop(const QStringList &paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime->setUrls(urls);
    return mime;
}

TEST_F(DocumentViewTest, DroppedFilesAskForWindowsFromTheLastToTheFirst)
{
    QSignalSpy opened(view.get(), &DocumentView::openFileRequested);
    const auto mime = fileDrop({QStringLiteral("/web/a.html"), QStringLiteral("/web/b.html"),
                                QStringLiteral("/web/README")});
    dropOn(edit->viewport(), mime.get(), Qt::NoModifier);
    ASSERT_EQ(opened.count(), 2);
    EXPECT_EQ(opened.at(0).first().toString(), QStringLiteral("/web/b.html"));
    EXPECT_EQ(opened.at(1).first().toString(), QStringLiteral("/web/a.html"));
    EXPECT_EQ(control().Text(), QString());
}

TEST_F(DocumentViewTest, DroppedFilesWithShiftInsertTheirTexts)
{
    view->setTextFileLoader([](const QString &path) { return QFileInfo(path).baseName(); });
    control().setText(QStringLiteral("[]"));
    control().setSelStart(1);
    const auto mime = fileDrop({QStringLiteral("/web/a.html"), QStringLiteral("/web/b.html")});
    dropOn(edit->viewport(), mime.get(), Qt::ShiftModifier);
    EXPECT_EQ(control().Text(), QStringLiteral("[ba]"));
}

TEST_F(DocumentViewTest, ResetFlagEmptiesTheHistoryAndAsksToDisableUndoAndRedo)
{
    QSignalSpy disabled(view.get(), &DocumentView::undoRedoDisabled);
    QObject::connect(&control(), &IEditControl::Change, &document,
                     [this] { document.IsTextChange(); });
    document.IsTextChange();
    QTest::keyClicks(edit, QStringLiteral("abc"));
    ASSERT_GT(document.GetClctUndoCount(), 1);
    view->ResetFlag();
    EXPECT_EQ(document.GetClctUndoCount(), 1);
    EXPECT_EQ(disabled.count(), 1);
}

TEST_F(DocumentViewTest, ClosingTheViewWithTheListOpenReleasesEverything)
{
    QTest::keyClicks(edit, QStringLiteral("<d"));
    ASSERT_TRUE(list->isVisible());
    QPointer<QListWidget> watched = list;
    view.reset();
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(document.CaretX(), 0) << "the document lets go of the closed text";
}

} // namespace
} // namespace scrivlet::test
