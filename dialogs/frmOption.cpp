#include "dialogs/frmOption.h"

#include "dialogs/cCommonDlg.h"
#include "options/Messages.h"
#include "options/OptionSettings.h"
#include "options/ShellRegistration.h"
#include "platform/Globals.h"
#include "platform/IFileDialogs.h"
#include "platform/IMessageService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

namespace scrivlet {

namespace {

template<typename W>
W *named(W *widget, const QString &name, const QString &toolTip = QString())
{
    widget->setObjectName(name);
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

QString indexed(const char *family, int index)
{
    return QLatin1String(family) + u'_' + QString::number(index);
}

// Puts the keyboard on the first control of page that Tab would reach.
void focusFirstControl(QWidget *page)
{
    for (QWidget *w = page ? page->nextInFocusChain() : nullptr; w && w != page;
         w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && w->isVisibleTo(page->window()) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

frmOption::frmOption(const Platform &platform, QWidget *parent)
    : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝ"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    tabOption = named(new QTabBar(this), QStringLiteral("tabOption"));
    tabOption->setExpanding(false);
    const std::pair<const char16_t *, const char16_t *> tabs[] = {
        {u"Webﾌﾞﾗｳｻﾞ(&W)", u"ﾌﾟﾚﾋﾞｭｰに使用するWebﾌﾞﾗｳｻﾞを指定します。"},
        {u"ﾃﾝﾌﾟﾚｰﾄ(&T)", u"新規作成時に使用するﾃﾝﾌﾟﾚｰﾄを指定します。"},
        {u"右ｸﾘｯｸﾒﾆｭｰ(&M)", u"ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加します。"},
    };
    for (const auto &[caption, tip] : tabs) {
        const int i = tabOption->addTab(QString::fromUtf16(caption));
        tabOption->setTabToolTip(i, QString::fromUtf16(tip));
    }
    layout->addWidget(tabOption);
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, round and round, as in other dialogs with tabs.
    for (const auto &[key, step] :
         {std::pair{Qt::CTRL | Qt::Key_Tab, 1}, {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1}}) {
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                [this, step = step] {
                    const int count = tabOption->count();
                    tabOption->setCurrentIndex((tabOption->currentIndex() + step + count) % count);
                    // The control the keyboard was on is hidden with its page.
                    focusFirstControl(fraOption.value(tabOption->currentIndex()));
                });
    }

    // The pages lie on one another; the tab shows one of them.
    auto *pages = new QWidget(this);
    auto *stack = new QGridLayout(pages);
    stack->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        auto *page = named(new QFrame(pages), indexed("fraOption", i));
        page->setFrameShape(QFrame::StyledPanel);
        // Each page keeps its room while another shows, so that the dialog and its buttons
        // stay where they are as the pages turn.
        QSizePolicy policy = page->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        page->setSizePolicy(policy);
        fraOption.append(page);
        stack->addWidget(page, 0, 0);
    }
    buildBrowserPage(fraOption[0]);
    buildTemplatePage(fraOption[1]);
    buildShellPage(fraOption[2]);
    layout->addWidget(pages, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"),
                  QStringLiteral("設定を変更します。"));
    cmdCancel =
        named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancel"),
              QStringLiteral("設定を変更せずにこのﾀﾞｲｱﾛｸﾞを閉じます。"));
    cmdOK->setDefault(true);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(tabOption, &QTabBar::tabBarClicked, this, &frmOption::tabOption_Click);
    connect(tabOption, &QTabBar::currentChanged, this, &frmOption::tabOption_Click);
    connect(cmdIE, &QPushButton::clicked, this, &frmOption::cmdIE_Click);
    connect(cmdNN, &QPushButton::clicked, this, &frmOption::cmdNN_Click);
    connect(cmdTemplate, &QPushButton::clicked, this, &frmOption::cmdTemplate_Click);
    for (int i = 0; i < cmdAdd.size(); ++i) {
        connect(cmdAdd[i], &QPushButton::clicked, this, [this, i] { cmdAdd_Click(i); });
        connect(cmdDel[i], &QPushButton::clicked, this, [this, i] { cmdDel_Click(i); });
    }
    connect(cmdOK, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);
}

void frmOption::buildBrowserPage(QFrame *page)
{
    auto *grid = new QGridLayout(page);
    auto row = [&](int at, const QString &label, const QString &edit, const QString &editTip,
                   const QString &button, const QString &buttonText, const QString &buttonTip,
                   QLineEdit *&txt, QPushButton *&cmd) {
        auto *lbl = named(new QLabel(label, page), QStringLiteral("Label%1").arg(at + 1));
        txt = named(new QLineEdit(page), edit, editTip);
        cmd = named(new QPushButton(buttonText, page), button, buttonTip);
        lbl->setBuddy(txt);
        grid->addWidget(lbl, at * 2, 0, 1, 2);
        grid->addWidget(txt, at * 2 + 1, 0);
        grid->addWidget(cmd, at * 2 + 1, 1);
    };
    row(0, QStringLiteral("Internet Explorer(&E):"), QStringLiteral("txtIE"),
        QStringLiteral("Internet Explorerのﾊﾟｽを入力してください。"), QStringLiteral("cmdIE"),
        QStringLiteral("参照(&I)..."), QStringLiteral("Internet Explorerを参照します。"), txtIE,
        cmdIE);
    row(1, QStringLiteral("Netscape(&N):"), QStringLiteral("txtNN"),
        QStringLiteral("Netscapeのﾊﾟｽを入力してください。"), QStringLiteral("cmdNN"),
        QStringLiteral("参照(&N)..."), QStringLiteral("Netscapeを参照します。"), txtNN, cmdNN);
    grid->setRowStretch(4, 1);
}

void frmOption::buildTemplatePage(QFrame *page)
{
    auto *grid = new QGridLayout(page);
    const std::pair<const char16_t *, const char16_t *> options[] = {
        {u"新規作成時にﾃﾝﾌﾟﾚｰﾄを使用する(&U)", u"新規作成時に標準のﾃﾝﾌﾟﾚｰﾄを使用します。"},
        {u"新規作成時ﾃﾝﾌﾟﾚｰﾄﾌｫﾙﾀﾞから選択する(&S)",
         u"新規作成時ﾃﾝﾌﾟﾚｰﾄﾌｫﾙﾀﾞからﾃﾝﾌﾟﾚｰﾄを選択します。"},
        {u"白紙の状態で新規作成する(&B)", u"白紙の状態で新規作成します。"},
    };
    for (const auto &[caption, tip] : options) {
        auto *opt = named(new QRadioButton(QString::fromUtf16(caption), page),
                          indexed("optTemplate", int(optTemplate.size())), QString::fromUtf16(tip));
        grid->addWidget(opt, int(optTemplate.size()), 0, 1, 2);
        optTemplate.append(opt);
    }
    auto *label =
        named(new QLabel(QStringLiteral("ﾃﾝﾌﾟﾚｰﾄﾌｫﾙﾀﾞ(&F):"), page), QStringLiteral("Label3"));
    txtTemplate = named(new QLineEdit(page), QStringLiteral("txtTemplate"),
                        QStringLiteral("ﾃﾝﾌﾟﾚｰﾄがあるﾌｫﾙﾀﾞのﾊﾟｽを入力してください。"));
    // Three commas, as the caption has always read.
    cmdTemplate =
        named(new QPushButton(QStringLiteral("参照(&F),,,"), page), QStringLiteral("cmdTemplate"),
              QStringLiteral("ﾃﾝﾌﾟﾚｰﾄがあるﾌｫﾙﾀﾞを選択します。"));
    label->setBuddy(txtTemplate);
    grid->addWidget(label, 3, 0, 1, 2);
    grid->addWidget(txtTemplate, 4, 0);
    grid->addWidget(cmdTemplate, 4, 1);
    grid->setRowStretch(5, 1);
}

void frmOption::buildShellPage(QFrame *page)
{
    auto *row = new QHBoxLayout(page);
    fraAdd = named(new QGroupBox(QStringLiteral("Scrivletで編集を追加(&A)"), page),
                   QStringLiteral("fraAdd"),
                   QStringLiteral("各ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加します。"));
    fraDel = named(new QGroupBox(QStringLiteral("Scrivletで編集を削除(&D)"), page),
                   QStringLiteral("fraDel"),
                   QStringLiteral("各ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除します。"));
    auto *addColumn = new QVBoxLayout(fraAdd);
    auto *delColumn = new QVBoxLayout(fraDel);
    const char16_t *captions[] = {u".htm(&H)", u".html(&T)", u".shtml(&S)", u".css(&C)"};
    for (int i = 0; i < 4; ++i) {
        const QString ext = QString::fromUtf16(options::kExtensions[i]);
        auto *add =
            named(new QPushButton(QString::fromUtf16(captions[i]), fraAdd), indexed("cmdAdd", i),
                  QStringLiteral("拡張子") + ext +
                      QStringLiteral("のﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加します。"));
        auto *del =
            named(new QPushButton(QString::fromUtf16(captions[i]), fraDel), indexed("cmdDel", i),
                  QStringLiteral("拡張子") + ext +
                      QStringLiteral("のﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除します。"));
        add->setAutoDefault(false);
        del->setAutoDefault(false);
        addColumn->addWidget(add);
        delColumn->addWidget(del);
        cmdAdd.append(add);
        cmdDel.append(del);
    }
    row->addWidget(fraAdd);
    row->addWidget(fraDel);
}

void frmOption::Form_Load()
{
    const options::LoadedOptions loaded = options::LoadOptions();
    txtIE->setText(loaded.values.internetExplorer);
    txtNN->setText(loaded.values.netscape);
    // A "Use" that names no choice selects none, as a new document takes it for a blank page.
    if (loaded.ok)
        optTemplate[loaded.values.use]->setChecked(true);
    else
        m_platform.messages.critical(options::msg::kLoadFailed);
    txtTemplate->setText(loaded.values.templatePass);
    fraOption[1]->hide();
    fraOption[2]->hide();
}

void frmOption::tabOption_Click(int index)
{
    if (index < 0 || index >= fraOption.size())
        return;
    for (QFrame *page : fraOption)
        page->hide();
    fraOption[index]->show();
}

QString frmOption::browseProgram(const QString &title)
{
    cCommonDlg dlg(m_platform.fileDialogs, m_platform.shell);
    dlg.setForm(this);
    dlg.setDialogTitle(title);
    // Linux programs have no ".exe"; the chooser offers every file.
    dlg.setFilter(QStringLiteral("Programs (*)|*|"));
    dlg.setFilterIndex(1);
    dlg.setInitDir(QDir::currentPath());
    // A program's folder is no place for pages: Open and Save As go on starting where they did.
    dlg.setFlags(ofn::HideReadOnly | ofn::AllowMultiSelect | ofn::PathMustExist | ofn::Explorer |
                 ofn::LongNames | ofn::NoChangeDir);
    dlg.setCancelError(true);
    dlg.ShowOpen();
    if (dlg.CancelButton())
        return {};
    // A browser is one program: of several files chosen, the first. The file name of a
    // selection of several is the folder and the names joined by NULs, which no setting holds.
    return dlg.FileNames().value(0);
}

void frmOption::cmdIE_Click()
{
    const QString file = browseProgram(QStringLiteral("Internet Exploprerを参照"));
    if (!file.isEmpty())
        txtIE->setText(file);
}

void frmOption::cmdNN_Click()
{
    const QString file = browseProgram(QStringLiteral("Netscapeを参照"));
    if (!file.isEmpty())
        txtNN->setText(file);
}

void frmOption::cmdTemplate_Click()
{
    // The path as chosen: on this system letter case tells folders apart.
    const QString folder = m_platform.fileDialogs.chooseFolder(
        this, QStringLiteral("フォルダを選択してください"), txtTemplate->text());
    if (!folder.isEmpty())
        txtTemplate->setText(folder);
}

void frmOption::cmdAdd_Click(int index)
{
    if (!m_platform.registry) {
        m_platform.messages.critical(QString::fromUtf16(options::kExtensions[index]) +
                                     options::msg::kAddFailed);
        return;
    }
    const auto r = options::AddVerb(*m_platform.registry, index, gProgramDirectory,
                                    QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (r.critical)
        m_platform.messages.critical(r.text);
    else
        m_platform.messages.information(r.text);
}

void frmOption::cmdDel_Click(int index)
{
    if (!m_platform.registry) {
        m_platform.messages.critical(QString::fromUtf16(options::kExtensions[index]) +
                                     options::msg::kRemoveFailed);
        return;
    }
    const auto r = options::RemoveVerb(*m_platform.registry, index);
    if (r.critical)
        m_platform.messages.critical(r.text);
    else
        m_platform.messages.information(r.text);
}

void frmOption::cmdOK_Click()
{
    options::OptionValues values;
    values.internetExplorer = txtIE->text();
    values.netscape = txtNN->text();
    values.use = optTemplate[0]->isChecked() ? 0 : optTemplate[1]->isChecked() ? 1 : 2;
    values.templatePass = txtTemplate->text();
    if (!options::SaveOptions(values)) {
        m_platform.messages.critical(options::msg::kSaveFailed);
        return;
    }
    accept();
}

void frmOption::cmdCancel_Click()
{
    // Esc and the close box end here too, without writing.
    reject();
}

void frmOption::ShowModal(const Platform &platform, QWidget *parent)
{
    frmOption dialog(platform, parent);
    dialog.Form_Load();
    dialog.exec();
}

} // namespace scrivlet
