// The help pages shipped in the program directory: every page reachable from the contents, and
// every link between them pointing at a file and an anchor that exist.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The page's text; empty when it cannot be read or is not UTF-8.
QString readPage(const QString &path)
{
    QFile file(path);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = file.open(QIODevice::ReadOnly) ? utf8(file.readAll()) : QString();
    return utf8.hasError() ? QString() : text;
}

TEST(HelpPages, EveryInternalLinkResolvesAndEveryPageIsReachable)
{
    // The targets of href and src attributes that stay within the pages: no scheme.
    static const QRegularExpression link(u"(?:href|src)\\s*=\\s*\"(?![a-zA-Z][a-zA-Z0-9+.-]*:)"
                                         u"([^\"#]*)(?:#([^\"]*))?\""_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const QDir dir(QStringLiteral(SCRIVLET_DOC_DIR));
    const QStringList pages = dir.entryList({u"*.html"_s}, QDir::Files);
    ASSERT_TRUE(pages.contains(u"index.html"_s));
    ASSERT_GE(pages.size(), 3) << "a manual, not a placeholder";
    QSet<QString> reached{u"index.html"_s};
    for (const QString &name : pages) {
        SCOPED_TRACE(name.toStdString());
        const QString html = readPage(dir.filePath(name));
        ASSERT_FALSE(html.isEmpty()) << "empty or not UTF-8";
        EXPECT_TRUE(html.contains(u"<meta charset=\"UTF-8\">"_s));
        EXPECT_TRUE(html.contains(u"<html lang=\"ja\">"_s));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            const QString target =
                match.captured(1).isEmpty() ? name : QDir::cleanPath(match.captured(1));
            ASSERT_TRUE(QFileInfo(dir.filePath(target)).isFile())
                << match.captured(0).toStdString();
            if (!match.captured(2).isEmpty()) {
                EXPECT_TRUE(
                    readPage(dir.filePath(target)).contains(u"id=\""_s + match.captured(2) + u'"'))
                    << match.captured(0).toStdString();
            }
            reached.insert(target);
        }
    }
    for (const QString &name : pages)
        EXPECT_TRUE(reached.contains(name)) << name.toStdString() << " is linked from no page";
}

} // namespace
