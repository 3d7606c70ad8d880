#include "html/Dictionary.h"

#include "files/basINI.h"
#include "platform/Globals.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace scrivlet::html {

namespace {

const QString kAttributeSection = QStringLiteral("Attribute");
const QString kTagExtension = QStringLiteral(".tag");

// File names hold at most 255 bytes; a longer tag name cannot have a file and is not worth a
// trip to the file system.
constexpr qsizetype kMaxFileNameBytes = 255;

// Puts the settings file back as the current profile file however the reading ends.
class CurrentIniFileRestorer
{
public:
    explicit CurrentIniFileRestorer(const QString &settingsFile) : m_settingsFile(settingsFile) {}
    ~CurrentIniFileRestorer() { basINI::SetIniFile(m_settingsFile); }
    CurrentIniFileRestorer(const CurrentIniFileRestorer &) = delete;
    CurrentIniFileRestorer &operator=(const CurrentIniFileRestorer &) = delete;

private:
    const QString &m_settingsFile;
};

} // namespace

QStringList splitListText(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(QStringLiteral("\r\n"), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

void LoadDictionaries(const QString &programDir, const TextFileLoader &load)
{
    gTagList = splitListText(load(programDir + QStringLiteral("HTML/List/Tag.dat")));
    gAttributeList = splitListText(load(programDir + QStringLiteral("HTML/List/Attribute.dat")));
}

bool isTagFileNameAllowed(const QString &tagName)
{
    if (tagName.isEmpty() || tagName.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : tagName) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.category() == QChar::Other_Control)
            return false;
    }
    return (tagName + kTagExtension).toUtf8().size() <= kMaxFileNameBytes;
}

QString findTagFile(const QString &programDir, const QString &tagName)
{
    if (!isTagFileNameAllowed(tagName))
        return {};
    const QString folder = programDir + QStringLiteral("HTML/Tag/");
    const QString wanted = tagName + kTagExtension;
    if (QFileInfo(folder + wanted).isFile())
        return folder + wanted;

    // The names are compared as text, never handed to the directory as a pattern: "?" and "*"
    // in a typed name stand for themselves.
    QString found;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0 && (found.isEmpty() || name < found))
            found = name;
    }
    return found.isEmpty() ? QString() : folder + found;
}

AttributeRows attributeRowsForTag(const QString &tagName, const QString &programDir,
                                  const QString &settingsFile)
{
    const QString tagFile = findTagFile(programDir, tagName);
    if (tagFile.isEmpty())
        return {gAttributeList, false};

    AttributeRows result{{}, true};
    const CurrentIniFileRestorer restorer(settingsFile);
    basINI::SetIniFile(tagFile);
    const int count = std::min(
        basINI::ReadIniInt(kAttributeSection, QStringLiteral("Attributes"), 0), kMaxAttributeRows);
    // The file is read once for all its rows: read again for each, a tag file of thousands of
    // rows froze the window for seconds at every space, a minute at the most rows it may name.
    result.rows = basINI::ReadIniStrings(kAttributeSection, basINI::NumberedKeys(count), QString());
    // A bare name gets its empty value; a row that already has one (class="", target=_blank) is
    // taken as written, as the help page promises, not given a second.
    for (QString &row : result.rows) {
        if (!row.contains(u'='))
            row += QStringLiteral("=\"\"");
    }
    return result;
}

} // namespace scrivlet::html
