#pragma once
// The captions and tips a dialog shows, checked against a table in captions/: the texts are the
// system's own, character for character, so they live apart from the code that sets them.

#include "tests/common/TestSupport.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>

#include <gtest/gtest.h>

namespace scrivlet::test {

// Each row: the control's objectName ("." the window, "bar#i" page i of a tab bar), its caption
// (a label's or a button's text, a frame's or the window's title), its tip.
inline void expectCaptions(QWidget *dialog, const char *table)
{
    const auto rows = readDataRows(SCRIVLET_CAPTIONS_DIR "/" + std::string(table) + ".tsv", 3);
    EXPECT_FALSE(rows.empty()) << table;
    for (const DataRow &row : rows) {
        SCOPED_TRACE(row[0]);
        const QString name = field(row, 0).section(u'#', 0, 0);
        const QString page = field(row, 0).section(u'#', 1);
        auto *bar = page.isEmpty() ? nullptr : dialog->findChild<QTabBar *>(name);
        QWidget *w = name == u"." ? dialog : dialog->findChild<QWidget *>(name);
        ASSERT_NE(w, nullptr);
        const auto *label = qobject_cast<QLabel *>(w);
        const auto *button = qobject_cast<QAbstractButton *>(w);
        const auto *group = qobject_cast<QGroupBox *>(w);
        const QString caption = bar           ? bar->tabText(page.toInt())
                                : w == dialog ? w->windowTitle()
                                : label       ? label->text()
                                : button      ? button->text()
                                : group       ? group->title()
                                              : QString();
        EXPECT_EQ(std::pair(caption, bar ? bar->tabToolTip(page.toInt()) : w->toolTip()),
                  std::pair(field(row, 1), field(row, 2)));
    }
}

} // namespace scrivlet::test
