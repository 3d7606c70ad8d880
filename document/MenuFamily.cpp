#include "document/MenuFamily.h"

#include <QAction>
#include <QMenu>

namespace scrivlet {

QList<QAction *> addMenuFamily(QMenu *menu, const QString &family, const QStringList &captions,
                               int firstIndex)
{
    QList<QAction *> actions;
    for (int i = 0; i < firstIndex; ++i)
        actions.append(nullptr);
    for (const QString &caption : captions) {
        QAction *action = caption == u"-" ? menu->addSeparator() : menu->addAction(caption);
        action->setObjectName(family + u'_' + QString::number(actions.size()));
        actions.append(action);
    }
    return actions;
}

void ApplyHistoryToMenu(const QList<QAction *> &items, const QStringList &history)
{
    if (items.size() < 7)
        return;
    int empty = 0;
    for (int k = 1; k <= 5; ++k) {
        const QString entry = history.value(k - 1);
        QAction *item = items[k];
        if (entry.isEmpty()) {
            item->setVisible(false);
            ++empty;
            continue;
        }
        QString shown = entry;
        shown.replace(u'&', QStringLiteral("&&"));
        item->setText(u'&' + QString::number(k) + u' ' + shown);
        item->setVisible(true);
    }
    items[6]->setEnabled(empty != 5);
    items[6]->setVisible(true);
}

} // namespace scrivlet
