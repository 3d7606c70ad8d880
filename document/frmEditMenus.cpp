// The menu bar of a document window: every caption, access key and shortcut, and which handler
// each item family calls. The commands themselves live with the window.

#include "document/MenuFamily.h"
#include "document/frmEdit.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace scrivlet {

void frmEdit::buildMenus()
{
    mnuFileMenu = new QMenu(QStringLiteral("ﾌｧｲﾙ(&F)"), this);
    mnuFileMenu->setObjectName(QStringLiteral("mnuFileMenu"));
    mnuFile = addMenuFamily(mnuFileMenu, QStringLiteral("mnuFile"),
                            {QStringLiteral("新規作成(&N)"), QStringLiteral("開く(&O)..."),
                             QStringLiteral("閉じる(&C)"), QStringLiteral("すべて閉じる(&Q)"),
                             QStringLiteral("-"), QStringLiteral("上書き保存(&S)"),
                             QStringLiteral("名前を付けて保存(&A)..."), QStringLiteral("-")});
    mnuFile[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFile[5]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QMenu *kanji = mnuFileMenu->addMenu(QStringLiteral("保存時の漢字ｺｰﾄﾞ(&K)"));
    kanji->setObjectName(QStringLiteral("mnuFileKanjiMenu"));
    mnuFileKanji = addMenuFamily(kanji, QStringLiteral("mnuFileKanji"),
                                 {QStringLiteral("JIS(&J)"), QStringLiteral("EUC(&E)"),
                                  QStringLiteral("Shift-JIS(&S)"), QStringLiteral("UTF-8(&U)")});
    QMenu *lineEnds = mnuFileMenu->addMenu(QStringLiteral("保存時の改行ｺｰﾄﾞ(&R)"));
    lineEnds->setObjectName(QStringLiteral("mnuFileReturnMenu"));
    mnuFileReturn = addMenuFamily(
        lineEnds, QStringLiteral("mnuFileReturn"),
        {QStringLiteral("CR+LF(&W)"), QStringLiteral("CR(&C)"), QStringLiteral("LF(&L)")});
    for (QAction *a : mnuFileKanji + mnuFileReturn)
        a->setCheckable(true);
    mnuFileMenu->addSeparator()->setObjectName(QStringLiteral("mnuFileSeparator3"));
    mnuFileHistory = addMenuFamily(
        mnuFileMenu, QStringLiteral("mnuFileHistory"),
        {QString(), QString(), QString(), QString(), QString(), QStringLiteral("-")}, 1);
    mnuFileExit = mnuFileMenu->addAction(QStringLiteral("終了(&X)"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));

    mnuEditMenu = new QMenu(QStringLiteral("編集(&E)"), this);
    mnuEditMenu->setObjectName(QStringLiteral("mnuEditMenu"));
    // 切り取り and ﾀｸﾞ変換 both take T.
    SkipDisabledItemsOnSharedAccessKeys(mnuEditMenu);
    mnuEdit = addMenuFamily(mnuEditMenu, QStringLiteral("mnuEdit"),
                            {QStringLiteral("元に戻す(&U)"), QStringLiteral("やり直し(&R)"),
                             QStringLiteral("-"), QStringLiteral("切り取り(&T)"),
                             QStringLiteral("コピー(&C)"), QStringLiteral("貼り付け(&P)"),
                             QStringLiteral("削除(&D)"), QStringLiteral("すべて選択(&A)"),
                             QStringLiteral("-"), QStringLiteral("検索(&F)..."),
                             QStringLiteral("前を検索(&B)"), QStringLiteral("次を検索(&N)"),
                             QStringLiteral("置換(&E)..."), QStringLiteral("-")});
    mnuEdit[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuEdit[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    mnuEdit[9]->setShortcut(QKeySequence(kFindKey));
    mnuEdit[10]->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    mnuEdit[11]->setShortcut(QKeySequence(Qt::Key_F3));
    mnuEdit[12]->setShortcut(QKeySequence(kReplaceKey));
    QMenu *strConv = mnuEditMenu->addMenu(QStringLiteral("文字列変換(&V)"));
    strConv->setObjectName(QStringLiteral("mnuEditStrConvMenu"));
    mnuEditStrConv = addMenuFamily(
        strConv, QStringLiteral("mnuEditStrConv"),
        {QStringLiteral("小文字 に変換(&L)"), QStringLiteral("大文字 に変換(&U)"),
         QStringLiteral("-"), QStringLiteral("半角 に変換(&N)"), QStringLiteral("全角 に変換(&W)"),
         QStringLiteral("半角ｶﾀｶﾅ を 全角ｶﾀｶﾅ に変換(&E)"), QStringLiteral("-"),
         QStringLiteral("ｶﾀｶﾅ を ひらがな に変換(&H)"),
         QStringLiteral("ひらがな を ｶﾀｶﾅ に変換(&K)"), QStringLiteral("-"),
         QStringLiteral("<>  を&&lt;&&gt; に変換(&Q)"),
         QStringLiteral("&&lt;&&gt; を <> に変換(&T)"), QStringLiteral("-"),
         QStringLiteral("&& を &&amp; に変換(&M)"), QStringLiteral("&&amp; を && に変換(&P)"),
         QStringLiteral("-"), QStringLiteral("半角ｽﾍﾟｰｽ を &&nbsp; に変換(&S)"),
         QStringLiteral("&&nbsp;  を半角ｽﾍﾟｰｽ に変換(&B)")});
    QMenu *tagConv = mnuEditMenu->addMenu(QStringLiteral("ﾀｸﾞ変換(&T)"));
    tagConv->setObjectName(QStringLiteral("mnuEditTagConvMenu"));
    mnuEditTagConv = addMenuFamily(
        tagConv, QStringLiteral("mnuEditTagConv"),
        {QStringLiteral("ﾀｸﾞを小文字に変換(&L)"), QStringLiteral("ﾀｸﾞを大文字に変換(&U)")});
    QMenu *tagInsert = mnuEditMenu->addMenu(QStringLiteral("ﾀｸﾞ追加・削除(&I)"));
    tagInsert->setObjectName(QStringLiteral("mnuEditTagInsertMenu"));
    mnuEditTagInsert = addMenuFamily(tagInsert, QStringLiteral("mnuEditTagInsert"),
                                     {QStringLiteral("行末に <BR> を追加(&B)"),
                                      QStringLiteral("<BR> を改行に変換(&R)"),
                                      QStringLiteral("行頭に<LI>行末に</LI>を追加(&L)")});

    auto *tool = new QMenu(QStringLiteral("ﾂｰﾙ(&T)"), this);
    tool->setObjectName(QStringLiteral("mnuToolMenu"));
    mnuTool = addMenuFamily(tool, QStringLiteral("mnuTool"),
                            {QStringLiteral("Internet Explorer起動(&E)..."),
                             QStringLiteral("Netscape起動(&N)..."),
                             QStringLiteral("関連付けされているﾌﾞﾗｳｻﾞ起動(&B)..."),
                             QStringLiteral("-"), QStringLiteral("ｵﾌﾟｼｮﾝ(&O)...")});
    auto *window = new QMenu(QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"), this);
    window->setObjectName(QStringLiteral("mnuWindowMenu"));
    mnuWindow =
        addMenuFamily(window, QStringLiteral("mnuWindow"),
                      {QStringLiteral("重ねて表示(&C)"), QStringLiteral("上下に並べて表示(&V)"),
                       QStringLiteral("左右に並べて表示(&H)"), QStringLiteral("すべて最小化(&M)"),
                       QStringLiteral("ｱｲｺﾝの整列(&A)")});
    mnuWindowMenu = window;
    auto *help = new QMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    help->setObjectName(QStringLiteral("mnuHelpMenu"));
    mnuHelp = addMenuFamily(help, QStringLiteral("mnuHelp"),
                            {QStringLiteral("目次(&C)..."), QStringLiteral("-"),
                             QStringLiteral("作者のWebサイトへ(&W)..."),
                             QStringLiteral("最新版ﾀﾞｳﾝﾛｰﾄﾞ(&D)..."), QStringLiteral("-"),
                             QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)...")});
    m_menus = {mnuFileMenu, mnuEditMenu, tool, window, help};

    auto wire = [this](const QList<QAction *> &family, void (frmEdit::*handler)(int)) {
        for (qsizetype i = 0; i < family.size(); ++i) {
            if (family[i] && !family[i]->isSeparator())
                connect(family[i], &QAction::triggered, this,
                        [this, handler, i] { (this->*handler)(static_cast<int>(i)); });
        }
    };
    wire(mnuFile, &frmEdit::mnuFile_Click);
    wire(mnuFileKanji, &frmEdit::mnuFileKanji_Click);
    wire(mnuFileReturn, &frmEdit::mnuFileReturn_Click);
    wire(mnuFileHistory, &frmEdit::mnuFileHistory_Click);
    wire(mnuEdit, &frmEdit::mnuEdit_Click);
    wire(mnuEditStrConv, &frmEdit::mnuEditStrConv_Click);
    wire(mnuEditTagConv, &frmEdit::mnuEditTagConv_Click);
    wire(mnuEditTagInsert, &frmEdit::mnuEditTagInsert_Click);
    wire(mnuTool, &frmEdit::mnuTool_Click);
    wire(mnuHelp, &frmEdit::mnuHelp_Click);
    wire(mnuWindow, &frmEdit::mnuWindow_Click);
    connect(mnuWindowMenu, &QMenu::aboutToShow, this, &frmEdit::mnuWindowMenu_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmEdit::mnuFileExit_Click);
    connect(mnuFileMenu, &QMenu::aboutToShow, this, &frmEdit::mnuFileMenu_Click);
    connect(mnuEditMenu, &QMenu::aboutToShow, this, &frmEdit::mnuEditMenu_Click);
}

} // namespace scrivlet
