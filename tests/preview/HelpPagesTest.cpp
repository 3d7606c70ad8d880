// The help pages shipped in the program directory: every page reachable from the contents, and
// every link between them pointing at a file and an anchor that exist.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kDocDir = QStringLiteral(SCRIVLET_DOC_DIR);

QString readPage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(file.readAll());
    return utf8.hasError() ? QString() : text;
}

// The targets of href and src attributes that stay within the pages: no scheme.
QStringList localLinks(const QString &html)
{
    static const QRegularExpression attribute(u"(?:href|src)\\s*=\\s*\"([^\"]*)\""_s,
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression scheme(u"^[a-zA-Z][a-zA-Z0-9+.-]*:"_s);
    QStringList out;
    for (auto it = attribute.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (!scheme.match(target).hasMatch())
            out.append(target);
    }
    return out;
}

bool hasAnchor(const QString &html, const QString &anchor)
{
    return html.contains(u"id=\""_s + anchor + u'"');
}

TEST(HelpPages, EveryInternalLinkResolvesAndEveryPageIsReachable)
{
    const QDir dir(kDocDir);
    const QStringList pages = dir.entryList({u"*.html"_s}, QDir::Files);
    ASSERT_TRUE(pages.contains(u"index.html"_s));
    ASSERT_GE(pages.size(), 3) << "a manual, not a placeholder";

    QSet<QString> reached{u"index.html"_s};
    for (const QString &name : pages) {
        const QString html = readPage(dir.filePath(name));
        ASSERT_FALSE(html.isEmpty()) << name.toStdString() << " is empty or not UTF-8";
        EXPECT_TRUE(html.contains(u"<meta charset=\"UTF-8\">"_s)) << name.toStdString();
        EXPECT_TRUE(html.contains(u"<html lang=\"ja\">"_s)) << name.toStdString();
        for (const QString &link : localLinks(html)) {
            const qsizetype hash = link.indexOf(u'#');
            const QString file = hash < 0 ? link : link.left(hash);
            const QString anchor = hash < 0 ? QString() : link.mid(hash + 1);
            const QString target = file.isEmpty() ? name : QDir::cleanPath(file);
            const QString where = name + u" -> "_s + link;
            ASSERT_TRUE(QFileInfo(dir.filePath(target)).isFile()) << where.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(hasAnchor(readPage(dir.filePath(target)), anchor))
                    << where.toStdString();
            }
            reached.insert(target);
        }
    }
    for (const QString &name : pages)
        EXPECT_TRUE(reached.contains(name)) << name.toStdString() << " is linked from no page";
}

} // namespace
