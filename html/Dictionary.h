#pragma once
// The completion dictionary: the tag and attribute lists read once at start into gTagList and
// gAttributeList, and the attribute rows of one tag, read from its own file each time they are
// asked for. Owns nothing; switches the settings module's current file for the length of one
// call.

#include <QString>
#include <QStringList>

#include <functional>

namespace scrivlet::html {

// Reads a whole text file (kanji code and line ends converted); empty when it cannot be read.
using TextFileLoader = std::function<QString(const QString &path)>;

// The entries of a list file: the pieces between the CR LF pairs, untouched. A text ending with
// CR LF gives an empty last entry; an empty text gives no entries at all.
QStringList splitListText(const QString &text);

// Fills gTagList and gAttributeList from programDir + "HTML/List/Tag.dat" and
// "HTML/List/Attribute.dat". programDir ends with "/".
void LoadDictionaries(const QString &programDir, const TextFileLoader &load);

// The most rows an attribute list holds, whatever a tag file claims: the list addresses its rows
// with 16-bit indexes.
inline constexpr int kMaxAttributeRows = 32767;

struct AttributeRows
{
    QStringList rows;
    // True when the rows come from the tag's own file; with no rows the list then stays hidden.
    bool ownFile = false;
};

// Whether a tag name typed in the document may become part of a file name: a name that could
// leave the tag folder or hold what no file name should (a separator, "..", NUL, a control
// character) has no file of its own. The empty name has none either.
bool isTagFileNameAllowed(const QString &tagName);

// The tag's own file below programDir + "HTML/Tag/", the name matched without regard to letter
// case, since tags are typed in any case and the shipped files are named in one; empty when
// there is none.
// An exact match wins; among files differing only in case the first in code-unit order wins.
QString findTagFile(const QString &programDir, const QString &tagName);

// The rows of the attribute list for tagName: from its own file, each name followed by =""; or,
// when it has none, the entries of gAttributeList. While the tag file is read it is the
// settings module's current file; settingsFile is made current again before this returns.
AttributeRows attributeRowsForTag(const QString &tagName, const QString &programDir,
                                  const QString &settingsFile);

} // namespace scrivlet::html
