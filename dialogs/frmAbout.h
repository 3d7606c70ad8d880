#pragma once
// The About box: version, copyright and two links, to the author's home page and to a mail to
// the author. Owns its controls; references the shell and message services.

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace scrivlet {

class IMessageService;
class IShell;

// A label that reads as a link and reports a click of the left button, or Space or Enter
// once Tab has reached it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(IShell &shell, IMessageService &messages, QWidget *parent = nullptr);

    // Opens the box modal to the program over owner and returns at once; the box deletes itself
    // when it closes.
    static frmAbout *ShowModal(IShell &shell, IMessageService &messages, QWidget *owner);

    // "Scrivlet Version" + major + "." + minor + revision, each in decimal.
    static QString VersionLine(int major, int minor, int revision);

    void Form_Load();
    void lblHomePage_Click();
    void lblMail_Click();
    void cmdOK_Click();

private:
    IShell &m_shell;
    IMessageService &m_messages;
    QLabel *Image1 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    LinkLabel *lblHomePage = nullptr;
    LinkLabel *lblMail = nullptr;
    QPushButton *cmdOK = nullptr;
};

} // namespace scrivlet
