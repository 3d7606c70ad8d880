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

namespace scrivlet::test {
namespace {

TEST(QtClipboardTest, TheCachedAnswerFollowsEveryChangeOfTheClipboard)
{
    QClipboard *system = QGuiApplication::clipboard();
    system->setText(QStringLiteral("before"));
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
        {"text from another program", [system] { system->setText(QStringLiteral("x")); }, true},
        {"an image only",
         [system] {
             auto *mime = new QMimeData;
             mime->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
             system->setMimeData(mime);
         },
         false},
        {"an empty text", [system] { system->setText(QString()); }, false},
        {"copied here", [&clipboard] { clipboard.setText(QStringLiteral("y")); }, true},
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
    control.setText(QStringLiteral("a\r\nb\r\nc"));
    control.setSelStart(0);
    control.setSelLength(4); // "a", CR LF, "b"
    control.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\nb"));
    EXPECT_TRUE(clipboard.hasText());

    control.setSelStart(control.Text().size());
    control.paste();
    EXPECT_EQ(control.Text(), QStringLiteral("a\r\nb\r\nca\r\nb"));

    QGuiApplication::clipboard()->setText(QStringLiteral("p\nq\r\nr"));
    control.setSelStart(0);
    control.setSelLength(0);
    control.paste();
    EXPECT_EQ(control.Text().left(7), QStringLiteral("p\r\nq\r\nr"));
    EXPECT_EQ(control.SelStart(), 7) << "positions count each line end as two";
}

} // namespace
} // namespace scrivlet::test
