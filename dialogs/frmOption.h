#pragma once
// The options dialog: the browsers of the preview, how a new document starts, and the shell
// verb of the file manager. Owns its controls; references the platform services.

#include "platform/Platform.h"

#include <QDialog>
#include <QList>

class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace scrivlet {

class frmOption : public QDialog
{
    Q_OBJECT
public:
    explicit frmOption(const Platform &platform, QWidget *parent = nullptr);

    // Fills the controls from the settings file and shows the first page.
    void Form_Load();

    void tabOption_Click(int index);
    void cmdIE_Click();
    void cmdNN_Click();
    void cmdTemplate_Click();
    void cmdAdd_Click(int index);
    void cmdDel_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    // Opens the dialog modally over parent, loaded, and returns when it closes.
    static void ShowModal(const Platform &platform, QWidget *parent);

    QTabBar *tabOption = nullptr;
    QList<QFrame *> fraOption;
    QLineEdit *txtIE = nullptr;
    QLineEdit *txtNN = nullptr;
    QLineEdit *txtTemplate = nullptr;
    QPushButton *cmdIE = nullptr;
    QPushButton *cmdNN = nullptr;
    QPushButton *cmdTemplate = nullptr;
    QList<QRadioButton *> optTemplate;
    QGroupBox *fraAdd = nullptr;
    QGroupBox *fraDel = nullptr;
    QList<QPushButton *> cmdAdd;
    QList<QPushButton *> cmdDel;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void buildBrowserPage(QFrame *page);
    void buildTemplatePage(QFrame *page);
    void buildShellPage(QFrame *page);
    QString browseProgram(const QString &title);

    const Platform &m_platform;
};

} // namespace scrivlet
