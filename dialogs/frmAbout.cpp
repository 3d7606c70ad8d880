#include "dialogs/frmAbout.h"

#include "dialogs/BuildInfo.h"
#include "dialogs/Messages.h"
#include "platform/IMessageService.h"
#include "platform/IShell.h"
#include "preview/Messages.h"
#include "preview/WebLinks.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace scrivlet {

namespace {

// Blue, underlined, 9 points, in the Japanese UI font or the nearest installed one.
void styleAsLink(QLabel *label)
{
    QFont font = label->font();
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(9);
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(Qt::blue));
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
}

} // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    styleAsLink(this);
    setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT clicked();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Reached with Tab, the link shows where the keyboard is.
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

frmAbout::frmAbout(IShell &shell, IMessageService &messages, QWidget *parent)
    : QDialog(parent), m_shell(shell), m_messages(messages)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Scrivlet のﾊﾞｰｼﾞｮﾝ情報"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    Image1->setPixmap(icon.pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    // The texts the labels show until Form_Load fills them, and keep if it cannot.
    lblVersion = new QLabel(QStringLiteral("Scrivlet Version0.00"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));

    lblHomePage = new LinkLabel(preview::kHomePageUrl, this);
    lblHomePage->setObjectName(QStringLiteral("lblHomePage"));
    lblHomePage->setToolTip(QStringLiteral("作者のWebｻｲﾄを表示します。"));
    lblMail = new LinkLabel(preview::kAuthorMailAddress, this);
    lblMail->setObjectName(QStringLiteral("lblMail"));
    lblMail->setToolTip(QStringLiteral("作者宛のﾒｰﾙを送信できます。"));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setToolTip(QStringLiteral("このﾀﾞｲｱﾛｸﾞを閉じます。"));
    cmdOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0, 4, 1);
    grid->addWidget(lblVersion, 0, 1);
    grid->addWidget(lblCopyright, 1, 1);
    grid->addWidget(lblHomePage, 2, 1, Qt::AlignLeft);
    grid->addWidget(lblMail, 3, 1, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // The keyboard starts on OK, so that Enter closes the box, and Tab goes on to the links.
    setTabOrder(cmdOK, lblHomePage);
    setTabOrder(lblHomePage, lblMail);
    cmdOK->setFocus();
    connect(lblHomePage, &LinkLabel::clicked, this, &frmAbout::lblHomePage_Click);
    connect(lblMail, &LinkLabel::clicked, this, &frmAbout::lblMail_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    Form_Load();
}

frmAbout *frmAbout::ShowModal(IShell &shell, IMessageService &messages, QWidget *owner)
{
    auto *box = new frmAbout(shell, messages, owner ? owner->window() : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(true);
    box->show();
    return box;
}

QString frmAbout::VersionLine(int major, int minor, int revision)
{
    return QStringLiteral("Scrivlet Version") + QString::number(major) + u'.' +
           QString::number(minor) + QString::number(revision);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(
        VersionLine(SCRIVLET_VERSION_MAJOR, SCRIVLET_VERSION_MINOR, SCRIVLET_VERSION_REVISION));
    lblCopyright->setText(QString::fromUtf16(SCRIVLET_COPYRIGHT));
}

void frmAbout::lblHomePage_Click()
{
    if (!m_shell.openWithDefault(preview::kHomePageUrl))
        m_messages.critical(preview::msg::kWebSiteFailed);
}

void frmAbout::lblMail_Click()
{
    if (!m_shell.openWithDefault(QStringLiteral("mailto:") + preview::kAuthorMailAddress))
        m_messages.critical(dialogs::msg::kMailerFailed);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

} // namespace scrivlet
