#pragma once
// The completion list on screen: a light grey list that floats over the text and never takes
// the keyboard, and its adapter to the list the completion logic drives. The widget is owned
// by its parent; the adapter references the widget and the text area whose coordinates it
// speaks in.

#include "html/IPopupList.h"

#include <QListWidget>
#include <QPointer>

namespace scrivlet {

class PopupListWidget : public QListWidget
{
    Q_OBJECT
public:
    // The list's fixed size in twips.
    static constexpr int kWidthTwips = 1935;
    static constexpr int kHeightTwips = 1290;

    explicit PopupListWidget(QWidget *parent = nullptr);

Q_SIGNALS:
    // A mouse button went down on the list, after the row under the pointer, if any, became
    // the selected one. Buttons and bits as in the text's mouse events.
    void mousePressed(int button, int shift);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

class PopupListAdapter final : public html::IPopupList
{
public:
    // Coordinates are twips in textArea's pixels, which must lie inside the list's parent.
    PopupListAdapter(PopupListWidget *list, QWidget *textArea);

    void Clear() override;
    void AddItem(const QString &item) override;
    QString List(int index) const override;
    int ListCount() const override;
    int ListIndex() const override;
    void setListIndex(int index) override;
    bool Visible() const override;
    void setVisible(bool visible) override;
    int Width() const override;
    int Height() const override;
    int Top() const override { return m_topTwips; }
    void Move(int left, int top) override;

    // Twips per pixel of the screen the list is on, horizontally and vertically.
    QPointF twipsPerPixel() const;

private:
    QPointer<PopupListWidget> m_list;
    QPointer<QWidget> m_textArea;
    // The top last asked for: the widget holds it in whole pixels, which need not give the same
    // twips back.
    int m_topTwips = 0;
};

} // namespace scrivlet
