#include "document/PopupListWidget.h"

#include "document/SourceTextEdit.h"
#include "html/Completion.h"

#include <QMouseEvent>

namespace scrivlet {

PopupListWidget::PopupListWidget(QWidget *parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("lstPopup"));
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // A light grey list: its text is dark whatever the desktop's theme, which may make text
    // white for dark backgrounds.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(224, 224, 224));
    colours.setColor(QPalette::Text, QColor(Qt::black));
    setPalette(colours);
    setAutoFillBackground(true);
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    setFixedSize(qRound(kWidthTwips * dpiX / 1440.0), qRound(kHeightTwips * dpiY / 1440.0));
    hide();
}

void PopupListWidget::mousePressEvent(QMouseEvent *event)
{
    if (QListWidgetItem *item = itemAt(event->position().toPoint()))
        setCurrentItem(item);
    int button = html::kLeftButton;
    if (event->button() == Qt::RightButton)
        button = html::kRightButton;
    else if (event->button() == Qt::MiddleButton)
        button = html::kMiddleButton;
    event->accept();
    Q_EMIT mousePressed(button, shiftState(event->modifiers()));
}

// A second press is a press like the first; dragging over the rows must not move the selection
// of a list that has just been accepted.
void PopupListWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void PopupListWidget::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void PopupListWidget::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

PopupListAdapter::PopupListAdapter(PopupListWidget *list, QWidget *textArea)
    : m_list(list), m_textArea(textArea)
{}

QPointF PopupListAdapter::twipsPerPixel() const
{
    return {1440.0 / m_list->logicalDpiX(), 1440.0 / m_list->logicalDpiY()};
}

void PopupListAdapter::Clear()
{
    m_list->clear();
    // The view keeps its scroll offset through a clear; a list filled anew would open as far
    // down as the previous one had scrolled to its selection.
    m_list->scrollToTop();
}

void PopupListAdapter::AddItem(const QString &item)
{
    m_list->addItem(item);
}

QString PopupListAdapter::List(int index) const
{
    const QListWidgetItem *item = m_list->item(index);
    return item ? item->text() : QString();
}

int PopupListAdapter::ListCount() const
{
    return m_list->count();
}

int PopupListAdapter::ListIndex() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? m_list->row(item) : -1;
}

void PopupListAdapter::setListIndex(int index)
{
    if (index < 0 || index >= m_list->count()) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
        return;
    }
    m_list->setCurrentRow(index);
}

bool PopupListAdapter::Visible() const
{
    return !m_list->isHidden();
}

void PopupListAdapter::setVisible(bool visible)
{
    m_list->setVisible(visible);
    if (visible)
        m_list->raise();
}

int PopupListAdapter::Width() const
{
    return qRound(m_list->width() * twipsPerPixel().x());
}

int PopupListAdapter::Height() const
{
    return qRound(m_list->height() * twipsPerPixel().y());
}

void PopupListAdapter::Move(int left, int top)
{
    m_topTwips = top;
    const QPointF factors = twipsPerPixel();
    const QPoint pixels(qRound(left / factors.x()), qRound(top / factors.y()));
    QWidget *parent = m_list->parentWidget();
    m_list->move(m_textArea && parent ? m_textArea->mapTo(parent, pixels) : pixels);
}

} // namespace scrivlet
