#pragma once
// Loading and saving of documents, templates and word lists through the converter library, and
// the two path functions. Text in memory has CR LF line ends; on disk it has the kanji code and
// line ends chosen in the settings.

#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QMimeData;
QT_END_NAMESPACE

namespace scrivlet {
class IMessageService;
}

namespace scrivlet::basFile {

// The file's text, whatever its kanji code and line ends; empty after a failure, which has then
// been shown, and *ok (when given) set to false. A UTF-8 page arrives with every character as
// itself (without its byte-order mark); other pages through Shift-JIS. The file itself is never
// written.
QString LoadTextFile(IMessageService &messages, const QString &path, bool *ok = nullptr);

// Writes text to path in the kanji code ("JIS", "EUC", "UTF-8", anything else Shift-JIS) and
// line ends of the settings; UTF-8 without a byte-order mark. The old file stays as it
// was until the new contents are complete; failures are shown. True when the file was written,
// in the chosen code or, after a failed conversion, as Shift-JIS (UTF-8 when that was chosen)
// with CR LF.
bool SaveTextFile(IMessageService &messages, const QString &path, const QString &text);

// The last component of a path ("/" separates components): empty when the path is empty or ends
// with "/".
QString GetFileName(const QString &path);

// The text after the last "." anywhere in the path, or empty when there is none.
QString GetExtension(const QString &path);

// The files of this machine that dragged data offers, as paths; empty when it offers none. A
// file URL of a host other than localhost is none of them, nor is a path holding a NUL: no file
// has such a name, and cut at the NUL it would name another file.
// unreadable, when given, tells whether it also offers files whose names cannot be read as paths
// (PathsFromArguments).
QStringList LocalFiles(const QMimeData *data, bool *unreadable = nullptr);

// The names of files a program was given as bytes, as paths; a name in another code than the
// system's (a Shift-JIS name from an old archive) cannot be read as a path, since it would name
// another file or none, and goes to unreadable, read as well as it can be for a message.
QStringList PathsFromArguments(const QList<QByteArray> &arguments, QStringList *unreadable);

// The text of a file with this extension as Shift-JIS (CP932) bytes. A character the code
// cannot hold becomes a numeric character reference "&#x1F600;", so that the page still shows
// it; a CSS escape "\1F600 " in a style sheet (.css) and a page's style elements, a script
// escape "\uD83D\uDE00" in a script (.js, .mjs, .json) and a page's script elements, where a
// browser reads no references.
QByteArray EncodeForSaving(const QString &text, const QString &extension);

// The text as UTF-8 bytes; a stray byte kept from loading becomes 〓, as the converter writes
// a character it cannot convert.
QByteArray EncodeUtf8ForSaving(QString text);

} // namespace scrivlet::basFile
