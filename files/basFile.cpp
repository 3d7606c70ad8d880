#include "files/basFile.h"

#include "files/AtomicWrite.h"
#include "files/Cp932.h"
#include "files/MarkupScanner.h"
#include "files/Messages.h"
#include "files/ProgramPaths.h"
#include "files/SaveCodes.h"
#include "files/TagNames.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/IMessageService.h"
#include "unkanj/Convert.h"
#include "unkanj/Detect.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringDecoder>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace scrivlet::basFile {

namespace {

using files::Markup;
using files::MarkupScanner;
using files::SaveSetting;
using files::startsWithTagName;

// A page is brought over through UTF-8 unless it is in Shift-JIS: UTF-8 holds every character
// of every code (the JIS X 0212 characters of an EUC page, the emoji of a UTF-8 one), while only
// Shift-JIS carries the stray bytes of a Shift-JIS page through, for a save to write back. The
// code is told as the converter tells it, so that the two agree. Only a regular file is read
// here: opening a pipe would wait for a writer, and the converter refuses anything else with
// the load's own message.
bool loadsThroughUtf8(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (unkanj::hasUtf16Mark(text))
        return true;
    const unkanj::KanjiCode code = unkanj::detectCode(text).code;
    return code != unkanj::KanjiCode::ShiftJis && code != unkanj::KanjiCode::Ascii;
}

// The work file is one for its folder, and another copy of the program may be loading or saving
// through it: each holds this lock, on the folder itself, from writing the work file until it is
// gone, so that neither converts a work file the other is rewriting into its own page. The
// wait is bounded: a copy that holds the lock longer counts as a busy converter.
class WorkFileLock
{
public:
    explicit WorkFileLock(const QString &work)
    {
        const QByteArray folder = QFile::encodeName(QFileInfo(work).absolutePath());
        m_fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QDeadlineTimer deadline(kWaitMs);
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks leaves nothing to wait for.
            if (errno != EWOULDBLOCK && errno != EINTR)
                break;
            if (deadline.hasExpired()) {
                m_held = false;
                return;
            }
            QThread::msleep(10);
        }
        m_held = true;
    }
    ~WorkFileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // and with it the lock
    }
    WorkFileLock(const WorkFileLock &) = delete;
    WorkFileLock &operator=(const WorkFileLock &) = delete;

    bool held() const { return m_held; }

private:
    static constexpr int kWaitMs = 10000;
    int m_fd = -1;
    bool m_held = false;
};

// The boxes a load or a save owes while it holds the work file, shown once it has let go: a
// box stays up as long as the user leaves it, and another copy of the program would wait for
// the work file all that time, then give up and save unconverted. Only boxes with an OK button
// are asked for there.
class HeldMessages : public IMessageService
{
public:
    MessageAnswer show(const QString &text, const QString &title, MessageIcon icon,
                       MessageButtons buttons) override
    {
        Q_ASSERT(buttons == MessageButtons::Ok);
        m_boxes.append({text, title, icon, buttons});
        return MessageAnswer::Ok;
    }
    void showOn(IMessageService &messages) const
    {
        for (const Box &box : m_boxes)
            messages.show(box.text, box.title, box.icon, box.buttons);
    }

private:
    struct Box
    {
        QString text, title;
        MessageIcon icon;
        MessageButtons buttons;
    };
    QList<Box> m_boxes;
};

// How a character the code cannot hold is written where it stands: a browser reads character
// references in HTML only, escapes of their own in style sheets and scripts.
enum class Escape { Html, Css, Script };

QByteArray reference(char32_t codePoint, Escape escape)
{
    const auto hex = [](uint code, int width = 0) {
        return QByteArray::number(code, 16).toUpper().rightJustified(width, '0');
    };
    switch (escape) {
    case Escape::Css:
        return '\\' + hex(codePoint) + ' ';
    case Escape::Script: {
        // \uXXXX, in surrogate pairs above the BMP, as every version of the language reads it.
        if (codePoint <= 0xFFFF)
            return "\\u" + hex(codePoint, 4);
        const char16_t pair[] = {QChar::highSurrogate(codePoint), QChar::lowSurrogate(codePoint)};
        return "\\u" + hex(pair[0], 4) + "\\u" + hex(pair[1], 4);
    }
    case Escape::Html:
        break;
    }
    return "&#x" + hex(codePoint) + ';';
}

// Encodes a stretch that the codec refused: halves it until the characters it cannot hold are
// alone, so that a large text with one emoji costs a few more passes, not one per character.
void encodePiece(QStringView piece, Escape escape, QByteArray &out)
{
    bool ok = false;
    const QByteArray bytes = encodeCp932(piece, &ok);
    if (ok) {
        out.append(bytes);
        return;
    }
    const qsizetype length = piece.size();
    const bool pair = length == 2 && QChar::isHighSurrogate(piece[0].unicode()) &&
                      QChar::isLowSurrogate(piece[1].unicode());
    if (length == 1 && savedByte(piece[0].unicode()) >= 0) {
        out.append(static_cast<char>(savedByte(piece[0].unicode())));
        return;
    }
    if (length == 1 || pair) {
        out.append(reference(pair ? QChar::surrogateToUcs4(piece[0], piece[1]) : piece[0].unicode(),
                             escape));
        return;
    }
    qsizetype middle = length / 2;
    if (QChar::isLowSurrogate(piece[middle].unicode()) &&
        QChar::isHighSurrogate(piece[middle - 1].unicode()))
        ++middle; // never between the halves of a pair
    encodePiece(piece.first(middle), escape, out);
    encodePiece(piece.sliced(middle), escape, out);
}

// Whether a script start tag holds code, which reads escapes: no type, or one of script or
// JSON. Another type (text/template, text/html) marks a data block that a page's code reads
// as markup, where references count.
bool isScriptCode(QStringView tag)
{
    const std::optional<QStringView> type = files::attributeValue(tag, u"type");
    if (!type || type->isEmpty())
        return true; // a type of blanks alone names no script language
    for (const QStringView code : {u"javascript", u"ecmascript", u"jscript", u"livescript",
                                   u"module", u"json", u"importmap"}) {
        if (type->contains(code, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QByteArray EncodeForSaving(const QString &text, const QString &extension)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    // A style sheet or a script file is code throughout.
    const auto is = [&](QStringView name) {
        return extension.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (is(u"css") || is(u"js") || is(u"mjs") || is(u"json")) {
        encodePiece(text, is(u"css") ? Escape::Css : Escape::Script, out);
        return out;
    }
    // The code of a page's script and style elements takes the escapes of its own language. The
    // page is read as a browser reads it: what it reads as text (a comment, an attribute value, a
    // title or text area) holds no script.
    const QStringView page(text);
    MarkupScanner scan(page);
    qsizetype from = 0;
    Escape escape = Escape::Html; // of the code that the last tag opened
    for (auto m = scan.next(); m; m = scan.next()) {
        // A value left open: the tag runs on to the end, and what follows is no page of its own.
        if (m->guessed)
            break;
        const QStringView piece = page.sliced(m->begin, m->end - m->begin);
        if (m->kind == Markup::Tag) {
            escape = startsWithTagName(piece.sliced(1), u"style") ? Escape::Css
                     : startsWithTagName(piece.sliced(1), u"script") && isScriptCode(piece)
                         ? Escape::Script
                         : Escape::Html; // a template or other data block, read as markup
            continue;
        }
        if (m->kind != Markup::Code || escape == Escape::Html)
            continue;
        encodePiece(page.sliced(from, m->begin - from), Escape::Html, out);
        encodePiece(piece, escape, out);
        from = m->end;
    }
    encodePiece(QStringView(text).sliced(from), Escape::Html, out);
    return out;
}

namespace {

// A new, empty file only this user may read or write.
bool createPrivateFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Whether path names the work file, by its name or through a link: a page kept there (a
// crash's leftover opened to recover it, a page saved under that name) would go with the work
// file.
bool isWorkFile(const QString &path, const QString &work)
{
    const QFileInfo page(path), own(work);
    const QString folder = QFileInfo(page.absolutePath()).canonicalFilePath();
    return (!folder.isEmpty() && page.fileName() == own.fileName() &&
            folder == QFileInfo(own.absolutePath()).canonicalFilePath()) ||
           (page.exists() && page.canonicalFilePath() == own.canonicalFilePath());
}

QString loadHoldingWorkFile(IMessageService &messages, const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    const QString work = files::workFilePath();
    if (isWorkFile(path, work)) {
        messages.critical(path + files::msg::kCouldNotOpen);
        return {};
    }
    const WorkFileLock lock(work);
    if (!lock.held()) {
        messages.libraryError(files::msg::kLibraryBusy);
        messages.critical(path + files::msg::kCouldNotOpen);
        return {};
    }
    // The page's text goes into a work file that only this user may read, as the converter
    // keeps the bits of a file it replaces; a stale one is removed first.
    QFile::remove(work);
    const bool utf8 = loadsThroughUtf8(path);
    QFile file(work);
    if (!createPrivateFile(work) ||
        !basKanji::ConvertKanjiFile(messages, path, work,
                                    utf8 ? QStringLiteral("-w") : QStringLiteral("-s"),
                                    QStringLiteral("-crlf")) ||
        !file.open(QIODevice::ReadOnly)) {
        QFile::remove(work);
        messages.critical(path + files::msg::kCouldNotOpen);
        return {};
    }
    const QByteArray bytes = file.readAll();
    const bool readOk = file.error() == QFileDevice::NoError;
    file.close();
    QFile::remove(work);
    if (!readOk) {
        messages.critical(path + files::msg::kCouldNotOpen);
        return {};
    }
    if (ok)
        *ok = true;
    if (!utf8)
        return decodeCp932KeepingFaultyBytes(bytes);
    // The converter has taken the page's byte-order mark off; a U+FEFF still at the start is a
    // character of the text.
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decode(bytes);
}

} // namespace

QString LoadTextFile(IMessageService &messages, const QString &path, bool *ok)
{
    HeldMessages held;
    const QString text = loadHoldingWorkFile(held, path, ok);
    held.showOn(messages);
    return text;
}

QByteArray EncodeUtf8ForSaving(QString text)
{
    // A unit that is half of no pair stands for a stray byte of the page as it was loaded;
    // UTF-8 cannot hold the byte, and Qt would write "?". It becomes 〓, the converter's own
    // mark for a character it could not convert.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar(0x3013);
    }
    return text.toUtf8();
}

namespace {

bool saveHoldingWorkFile(IMessageService &messages, const QString &path, const QString &text)
{
    const QString code = files::EffectiveSaveSetting(
        SaveSetting::KanjiCode, files::ReadSaveSetting(SaveSetting::KanjiCode));
    // UTF-8 holds every character: no references, and the work file in UTF-8 as well.
    const QByteArray bytes =
        code == u"UTF-8" ? EncodeUtf8ForSaving(text) : EncodeForSaving(text, GetExtension(path));
    // Written as it is when the converter cannot do its part, so that the file holds the text.
    const auto writeUnconverted = [&] {
        if (!files::replaceFileContents(path, bytes)) {
            messages.critical(files::msg::kSaveFailed);
            return false;
        }
        messages.critical(files::msg::kConversionFailed);
        return true;
    };
    const QString work = files::workFilePath();
    if (isWorkFile(path, work)) {
        messages.critical(files::msg::kSaveFailed);
        return false;
    }
    const WorkFileLock lock(work);
    if (!lock.held()) {
        messages.libraryError(files::msg::kLibraryBusy);
        return writeUnconverted();
    }
    QFile::remove(work);
    // However the save ends (converted, fallen back, failed), the work file goes with it, before
    // the lock.
    const std::unique_ptr<const QString, void (*)(const QString *)> removeWork(
        &work, [](const QString *name) { QFile::remove(*name); });
    {
        QFile file(work);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            file.write(bytes) != bytes.size() || !file.flush()) {
            messages.critical(files::msg::kSaveFailed);
            return false;
        }
    }
    // The work file's code is named, not left to the library to guess: two half-width kana
    // (ｶﾅ) are also an EUC kanji (凝), and a save must write what the window shows.
    const QString workCode = code == u"UTF-8" ? QStringLiteral("-W") : QStringLiteral("-S");
    if (!basKanji::ConvertKanjiFile(
            messages, work, path, files::SaveSettingOption(SaveSetting::KanjiCode, code),
            files::SaveSettingOption(SaveSetting::ReturnCode,
                                     files::ReadSaveSetting(SaveSetting::ReturnCode)),
            workCode))
        return writeUnconverted();
    return true;
}

} // namespace

bool SaveTextFile(IMessageService &messages, const QString &path, const QString &text)
{
    HeldMessages held;
    const bool saved = saveHoldingWorkFile(held, path, text);
    held.showOn(messages);
    return saved;
}

QString GetFileName(const QString &path)
{
    if (path.isEmpty() || path.endsWith(u'/'))
        return {};
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

namespace {

// Whether a name given as bytes comes through a QString unchanged.
bool readsAsAPath(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

} // namespace

QStringList LocalFiles(const QMimeData *data, bool *unreadable)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (QUrl url : data->urls()) {
        if (url.host() == u"localhost")
            url.setHost(QString());
        const QString path = url.toLocalFile();
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!url.isLocalFile() || !url.host().isEmpty() || path.contains(QChar(u'\0')))
            continue;
        if (readsAsAPath(bytes))
            files << path;
        else if (unreadable)
            *unreadable = true;
    }
    return files;
}

QStringList PathsFromArguments(const QList<QByteArray> &arguments, QStringList *unreadable)
{
    QStringList paths;
    for (const QByteArray &argument : arguments)
        (readsAsAPath(argument) ? paths : *unreadable) << QFile::decodeName(argument);
    return paths;
}

QString GetExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

} // namespace scrivlet::basFile
