#pragma once
// Message boxes on QMessageBox; owns nothing.

#include "platform/IMessageService.h"

#include <QPointer>
#include <QWidget>

namespace scrivlet {

class QtMessageService final : public IMessageService
{
public:
    explicit QtMessageService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    MessageAnswer show(const QString &text, const QString &title, MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace scrivlet
