#include "tests/common/TestSupport.h"

#include <iconv.h>

QT_BEGIN_NAMESPACE
void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << scrivlet::test::visible(text) << '"';
}

void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << scrivlet::test::visible(list[i]) << '"';
    *os << '}';
}
QT_END_NAMESPACE

namespace scrivlet::test {

std::string visible(const QString &text)
{
    QString out;
    for (const QChar c : text)
        out += c == u'\r'   ? QStringLiteral("\\r")
               : c == u'\n' ? QStringLiteral("\\n")
               : c == u'\t' ? QStringLiteral("\\t")
               : c.unicode() < 0x20 || !c.isPrint()
                   ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))
                   : QString(c);
    return out.toStdString();
}

QByteArray iconvEncode(const QString &text, const char *code)
{
    iconv_t cd = ::iconv_open(code, "UTF-8");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 4 + 16, '\0');
    char *inPtr = in.data();
    size_t inLeft = in.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    ::iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

} // namespace scrivlet::test
