#include "document/MenuFamily.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

namespace scrivlet {

namespace {

class SharedAccessKeys final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *menu = qobject_cast<QMenu *>(watched);
        if (!menu || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier)) || key->text().size() != 1)
            return false;
        const QString typed = key->text().toUpper();
        QList<QAction *> sharing, usable;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
            if (mnemonic.isEmpty() || QKeySequence(mnemonic[0].key()).toString() != typed)
                continue;
            sharing << action;
            if (action->isEnabled())
                usable << action;
        }
        if (sharing.size() < 2 || usable.size() == sharing.size())
            return false; // Qt's own handling is right
        if (usable.isEmpty())
            return true;
        const qsizetype current = usable.indexOf(menu->activeAction());
        menu->setActiveAction(usable.at((current + 1) % usable.size()));
        if (usable.size() == 1) {
            // The only item the key can reach: opened or run, as a key of its own would.
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        }
        return true;
    }
};

} // namespace

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

QString ShortCaption(const QString &text, const QFont &font, int characters)
{
    const QFontMetrics metrics(font);
    QString shown =
        metrics.elidedText(text, Qt::ElideMiddle, characters * metrics.averageCharWidth());
    return shown.replace(u'&', QStringLiteral("&&"));
}

QString MenuCaption(const QString &text)
{
    return ShortCaption(text, QApplication::font("QMenu"), 60);
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
        item->setText(u'&' + QString::number(k) + u' ' + MenuCaption(entry));
        item->setVisible(true);
    }
    items[6]->setEnabled(empty != 5);
    items[6]->setVisible(true);
}

void SkipDisabledItemsOnSharedAccessKeys(QMenu *menu)
{
    menu->installEventFilter(new SharedAccessKeys(menu));
}

} // namespace scrivlet
