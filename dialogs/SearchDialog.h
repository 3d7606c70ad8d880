#pragma once
// What the Find and the Replace dialog share: the search string with its history list, the
// comparison check box, the two search buttons, Cancel, and unloading. The controls are owned
// by the dialog; the target and the message service are only referenced.

#include "editor/TextCompare.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace scrivlet {

class IMessageService;
class ISearchTarget;

class SearchDialog : public QDialog
{
    Q_OBJECT
public:
    // Closes the dialog for good; it deletes itself once control is back in the event loop.
    void Unload();
    bool isUnloaded() const { return m_unloaded; }

    // Cancel, Escape and the close box unload the dialog rather than only hiding it.
    void reject() override;

    QLabel *Label1 = nullptr;
    QComboBox *cboFindStr = nullptr;
    QCheckBox *chkBinary = nullptr;
    QPushButton *cmdFindDown = nullptr;
    QPushButton *cmdFindUp = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    SearchDialog(ISearchTarget &target, IMessageService &messages, QWidget *owner);

    // Fields (a label beside a history list) go into the grid on the left, in the order added;
    // buttons into the column on the right. The order of adding is the tab order.
    QComboBox *addField(const QString &name, const QString &label, const QString &toolTip,
                        QLabel **labelOut);
    QPushButton *addButton(const QString &name, const QString &caption, const QString &toolTip);
    // The check box, below the fields added so far.
    void addComparisonBox();

    // Ticked: exact; clear or grey: the text comparison.
    CompareMode compareMode() const;
    // The list shows the history's entries; the field shows text.
    static void refill(QComboBox *combo, const QStringList &history, const QString &text);

    void cmdCancel_Click();

    ISearchTarget &m_target;
    IMessageService &m_messages;

private:
    QGridLayout *m_fields = nullptr;
    QVBoxLayout *m_buttons = nullptr;
    int m_nextRow = 0;
    bool m_unloaded = false;
};

} // namespace scrivlet
