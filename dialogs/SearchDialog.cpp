#include "dialogs/SearchDialog.h"

#include "editor/SearchReplace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <limits>

namespace scrivlet {

SearchDialog::SearchDialog(ISearchTarget &target, IMessageService &messages, QWidget *owner)
    : QDialog(owner), m_target(target), m_messages(messages)
{
    setModal(false);
    auto *outer = new QHBoxLayout(this);
    m_fields = new QGridLayout;
    m_buttons = new QVBoxLayout;
    outer->addLayout(m_fields, 1);
    outer->addLayout(m_buttons);
    m_fields->setColumnStretch(1, 1);
    m_buttons->addStretch(1);
}

QComboBox *SearchDialog::addField(const QString &name, const QString &label, const QString &toolTip,
                                  QLabel **labelOut)
{
    const int row = m_nextRow++;
    auto *caption = new QLabel(label, this);
    caption->setObjectName(QStringLiteral("Label%1").arg(row + 1));
    auto *combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The field holds exactly what was typed: no completion from the list and no snapping to a
    // list entry that differs only in letter case, because the history and the exact search
    // tell those apart.
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
    // A pasted block of boilerplate is searched and put in whole: the line edit's own limit
    // of 32,767 characters would cut it without a word and leave pages half replaced.
    combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    combo->setToolTip(toolTip);
    combo->setMinimumWidth(240);
    caption->setBuddy(combo);
    m_fields->addWidget(caption, row, 0);
    m_fields->addWidget(combo, row, 1);
    *labelOut = caption;
    return combo;
}

void SearchDialog::addComparisonBox()
{
    chkBinary = new QCheckBox(QStringLiteral("大文字/小文字,全角/半角を区別する(B)"), this);
    chkBinary->setObjectName(QStringLiteral("chkBinary"));
    chkBinary->setToolTip(
        QStringLiteral("ﾁｪｯｸすると大文字/小文字,全角/半角,ひらがな,ｶﾀｶﾅを区別して検索します。"));
    m_fields->addWidget(chkBinary, m_nextRow++, 0, 1, 2);
    m_fields->setRowStretch(m_nextRow, 1);
    // The caption names B as the box's key without marking it as one; Alt+B must still reach
    // the box, not type a b into the search string.
    auto *key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_B), this);
    connect(key, &QShortcut::activated, chkBinary, [box = chkBinary] {
        box->setFocus(Qt::ShortcutFocusReason);
        box->click();
    });
}

QPushButton *SearchDialog::addButton(const QString &name, const QString &caption,
                                     const QString &toolTip)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    m_buttons->insertWidget(m_buttons->count() - 1, button);
    return button;
}

CompareMode SearchDialog::compareMode() const
{
    return chkBinary->checkState() == Qt::Checked ? CompareMode::Exact : CompareMode::Text;
}

void SearchDialog::refill(QComboBox *combo, const QStringList &history, const QString &text)
{
    combo->clear();
    combo->addItems(ShownHistory(history));
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

void SearchDialog::cmdCancel_Click()
{
    Unload();
}

void SearchDialog::reject()
{
    Unload();
}

void SearchDialog::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    QDialog::reject();
    // Unloading may start from one of the dialog's own buttons; it goes once that has returned.
    deleteLater();
}

} // namespace scrivlet
