// The system clipboard as the Edit menu and the edit control use it: Paste is enabled from an
// answer cached at each change of the clipboard, the text goes out with LF line ends as other
// programs here expect, and comes back into the document with CR LF.

#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

TEST(QtClipboardTest, TheCachedAnswerFollowsEveryChangeOfTheClipboard)
{
    QClipboard *system = QGuiApplication::clipboard();
    system->setText(u"before"_s);
    QtClipboard clipboard;
    EXPECT_TRUE(clipboard.hasText()) << "the answer is taken when the program starts";

    struct Step
    {
        const char *what;
        std::function<void()> change;
        bool hasText;
    };
    const Step steps[] = {
        {"cleared by another program", [system] { system->clear(); }, false},
        {"text from another program", [system] { system->setText(u"x"_s); }, true},
        {"an image only",
         [system] {
             auto *mime = new QMimeData;
             mime->setData(u"image/png"_s, QByteArray("\x89PNG", 4));
             system->setMimeData(mime);
         },
         false},
        {"an empty text", [system] { system->setText(QString()); }, false},
        {"copied here", [&clipboard] { clipboard.setText(u"y"_s); }, true},
    };
    for (const Step &step : steps) {
        step.change();
        EXPECT_EQ(clipboard.hasText(), step.hasText) << step.what;
        EXPECT_EQ(clipboard.hasText(), !system->text().isEmpty()) << step.what;
    }
}

TEST(QtClipboardTest, LinesLeaveWithLfAndComeBackWithCrLf)
{
    QtClipboard clipboard;
    SourceTextEdit widget;
    PlainTextEditAdapter control(&widget, clipboard);
    control.setText(u"a\r\nb\r\nc"_s);
    control.setSelStart(0);
    control.setSelLength(4); // "a", CR LF, "b"
    control.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"a\nb"_s);
    EXPECT_TRUE(clipboard.hasText());

    control.setSelStart(control.Text().size());
    control.paste();
    EXPECT_EQ(control.Text(), u"a\r\nb\r\nca\r\nb"_s);

    QGuiApplication::clipboard()->setText(u"p\nq\r\nr"_s);
    control.setSelStart(0);
    control.setSelLength(0);
    control.paste();
    EXPECT_EQ(control.Text().left(7), u"p\r\nq\r\nr"_s);
    EXPECT_EQ(control.SelStart(), 7) << "positions count each line end as two";
}

} // namespace
} // namespace scrivlet::test
