#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace scrivlet {

QtClipboard::QtClipboard()
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &QtClipboard::clipboard_DataChanged);
    clipboard_DataChanged();
}

void QtClipboard::clipboard_DataChanged()
{
    m_hasText = !QGuiApplication::clipboard()->text().isEmpty();
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

void QtClipboard::setText(const QString &text)
{
    // Other programs on this desktop expect LF line ends on the clipboard.
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(lf);
}

} // namespace scrivlet
