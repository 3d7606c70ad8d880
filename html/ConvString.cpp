#include "html/ConvString.h"

namespace scrivlet::html {

QString ConvString(const QString &text, ConvType type)
{
    Q_UNUSED(type);
    return text;
}

} // namespace scrivlet::html
