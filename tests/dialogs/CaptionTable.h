#pragma once
// The captions and tips a dialog shows, checked against a table in captions/: the texts are the
// system's own, character for character, so they live apart from the code that sets them.

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>

#include <gtest/gtest.h>

namespace scrivlet::test {

// The caption of a control: a label's or a button's text, a frame's title, a window's title.
inline QString captionOf(QWidget *w, bool isWindow)
{
    if (isWindow)
        return w->windowTitle();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto *group = qobject_cast<QGroupBox *>(w))
        return group->title();
    return {};
}

inline void expectCaptions(QWidget *dialog, const char *table)
{
    QFile file(QStringLiteral(SCRIVLET_CAPTIONS_DIR "/%1.tsv").arg(QLatin1String(table)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << table;
    int rows = 0;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        SCOPED_TRACE(line.toStdString());
        const QStringList field = line.split(u'\t');
        ASSERT_EQ(field.size(), 3);
        ++rows;
        const QString page = field[0].section(u'#', 1);
        if (!page.isEmpty()) {
            auto *bar = dialog->findChild<QTabBar *>(field[0].section(u'#', 0, 0));
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->tabText(page.toInt()), field[1]);
            EXPECT_EQ(bar->tabToolTip(page.toInt()), field[2]);
            continue;
        }
        const bool isWindow = field[0] == u".";
        QWidget *w = isWindow ? dialog : dialog->findChild<QWidget *>(field[0]);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(captionOf(w, isWindow), field[1]);
        EXPECT_EQ(w->toolTip(), field[2]);
    }
    EXPECT_GT(rows, 0) << table;
}

} // namespace scrivlet::test
