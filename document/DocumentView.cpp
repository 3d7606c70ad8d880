#include "document/DocumentView.h"

#include "document/PlainTextEditAdapter.h"
#include "document/PopupListWidget.h"
#include "document/SourceTextEdit.h"
#include "editor/clsRTF.h"
#include "platform/Globals.h"

#include <QFontMetricsF>
#include <QResizeEvent>
#include <QScrollBar>
#include <QtMath>

namespace scrivlet {

namespace {

// The window as the completion measures it: the text area of rtfEdit, where the caret's
// coordinates start and the list has room without covering the scroll bars.
class TextAreaMetrics final : public html::IWindowMetrics
{
public:
    explicit TextAreaMetrics(SourceTextEdit *edit) : m_edit(edit) {}

    int ScaleWidth() const override
    {
        return qRound(m_edit->viewport()->width() * twipsPerPixel().x());
    }
    int ScaleHeight() const override
    {
        return qRound(m_edit->viewport()->height() * twipsPerPixel().y());
    }
    // Measured rather than fixed: the height of the caret's line in the widget, over the font
    // size, puts the list's top on the bottom of that line for whatever font the system
    // resolves. A constant fits one font only: IPA P Gothic, the usual one here, gives 13 px
    // lines at 9 pt and 96 dpi (f = 1.083), Noto Sans CJK JP about 1.45.
    double lineOffsetFactor() const override
    {
        const double points = m_edit->font().pointSizeF();
        if (points <= 0)
            return 1.0;
        int linePixels = m_edit->cursorRect().height();
        if (linePixels <= 0)
            linePixels = qCeil(QFontMetricsF(m_edit->font(), m_edit).height());
        return linePixels * twipsPerPixel().y() / (points * 20.0);
    }

private:
    QPointF twipsPerPixel() const
    {
        return {1440.0 / m_edit->logicalDpiX(), 1440.0 / m_edit->logicalDpiY()};
    }

    SourceTextEdit *m_edit;
};

} // namespace

DocumentView::DocumentView(IClipboard &clipboard, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DocumentView"));
    rtfEdit = new SourceTextEdit(this);
    rtfEdit->setObjectName(QStringLiteral("rtfEdit"));
    lstPopup = new PopupListWidget(this);
    // A press on the list, which takes no focus, would give it to the first ancestor that does:
    // the text would lose it, and an input method commit what it is composing under the list's
    // feet. The view passes a click's focus on to the text, which has it already.
    setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(rtfEdit);
    m_control = std::make_unique<PlainTextEditAdapter>(rtfEdit, clipboard);
    m_list = std::make_unique<PopupListAdapter>(lstPopup, rtfEdit->viewport());
    m_metrics = std::make_unique<TextAreaMetrics>(rtfEdit);
    m_completion = std::make_unique<html::CompletionController>(*m_control, *m_list, *m_metrics);

    html::CompletionController::Callbacks &callbacks = m_completion->callbacks();
    // Until the window names the dictionary folder every tag gets the general list.
    callbacks.attributeRows = [](const QString &) {
        return html::AttributeRows{gAttributeList};
    };
    callbacks.popupEditMenu = [this] {
        Q_EMIT contextMenuRequested(m_pressedAt);
    };
    callbacks.newWindow = [this](const QString &path) {
        Q_EMIT openFileRequested(path);
    };
    callbacks.loadTextFile = [this](const QString &path) {
        return m_loadTextFile ? m_loadTextFile(path) : QString();
    };
    callbacks.disableUndoRedo = [this] {
        Q_EMIT undoRedoDisabled();
    };

    html::CompletionController *completion = m_completion.get();
    rtfEdit->setKeyHandlers(
        [completion](int &keyCode, int shift) { completion->rtfEdit_KeyDown(keyCode, shift); },
        [completion](int &keyAscii) { completion->rtfEdit_KeyPress(keyAscii); });
    rtfEdit->setDropHandler([completion](const html::DropData &data, int shift) {
        completion->rtfEdit_OLEDragDrop(data, shift);
    });
    connect(rtfEdit, &SourceTextEdit::mousePressed, this, &DocumentView::rtfEdit_MouseDown);
    // The Menu key acts as a right-button press at the caret.
    connect(rtfEdit, &SourceTextEdit::menuKeyPressed, this,
            [this](const QPoint &at) { rtfEdit_MouseDown(html::kRightButton, 0, at); });
    // The list floats over the text at the caret; scrolled away, it sat where the caret had
    // been, out of sight in a smaller window and still taking Up and Down.
    for (QScrollBar *bar : {rtfEdit->verticalScrollBar(), rtfEdit->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &DocumentView::keepPopupAtCaret);
    connect(lstPopup, &PopupListWidget::mousePressed, this, &DocumentView::lstPopup_MouseDown);
}

DocumentView::~DocumentView()
{
    // The widget's handlers reach the completion, which goes before the widget does.
    rtfEdit->setKeyHandlers({}, {});
    rtfEdit->setDropHandler({});
}

IEditControl &DocumentView::control() const
{
    return *m_control;
}

void DocumentView::bindDocument(clsRTF &document)
{
    document.Init(m_control.get());
    m_completion->setDocument(&document);
}

void DocumentView::setDictionary(const QString &programDir, const QString &settingsFile)
{
    m_completion->callbacks().attributeRows = [programDir, settingsFile](const QString &tagName) {
        return html::attributeRowsForTag(tagName, programDir, settingsFile);
    };
}

void DocumentView::setTextFileLoader(html::TextFileLoader loader)
{
    m_loadTextFile = std::move(loader);
}

void DocumentView::hidePopup()
{
    m_list->setVisible(false);
}

void DocumentView::ResetFlag()
{
    m_completion->ResetFlag();
}

void DocumentView::resizeEvent(QResizeEvent *event)
{
    rtfEdit->setGeometry(rect());
    QWidget::resizeEvent(event);
    keepPopupAtCaret();
}

void DocumentView::keepPopupAtCaret()
{
    if (m_list->Visible())
        m_completion->MovePopup();
}

void DocumentView::rtfEdit_MouseDown(int button, int shift, const QPoint &globalPos)
{
    m_pressedAt = globalPos;
    m_completion->rtfEdit_MouseDown(button, shift);
}

void DocumentView::lstPopup_MouseDown(int button, int shift)
{
    // Accepting a row changes the text from code, which makes the input method drop what it is
    // composing: it goes in first, through the list like any typed character.
    rtfEdit->commitComposition();
    if (!lstPopup->isHidden())
        m_completion->lstPopup_MouseDown(button, shift);
    if (lstPopup->isHidden())
        rtfEdit->ignoreRestOfClick();
}

} // namespace scrivlet
