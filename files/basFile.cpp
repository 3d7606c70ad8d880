#include "files/basFile.h"

#include "files/AtomicWrite.h"
#include "files/Cp932.h"
#include "files/Messages.h"
#include "files/ProgramPaths.h"
#include "files/SaveCodes.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/IMessageService.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace scrivlet::basFile {

namespace {

using files::SaveSetting;

// A page in UTF-8 (or UTF-16): a byte-order mark, or bytes above 0x7F that form UTF-8
// sequences but for a few faults (a download cut off in a character, a stray byte), at least
// two whole sequences to a faulty byte; Japanese in Shift-JIS or EUC-JP read as UTF-8 has about
// three faulty bytes to a sequence. Such a page is loaded through UTF-8, so that characters
// Shift-JIS lacks arrive as themselves; every other page goes through Shift-JIS. Only a regular
// file is read here: opening a pipe would wait for a writer, and the converter refuses anything
// else with the load's own message.
bool isUtf8Page(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    // A byte-order mark, UTF-8's or UTF-16's: the converter reads a UTF-16 page too, and only
    // UTF-8 can bring all of its characters over.
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
        bytes.startsWith("\xFE\xFF"))
        return true;
    qsizetype sequences = 0;
    qsizetype faults = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<uchar>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length > 0 && i + length <= bytes.size() &&
            QByteArrayView(bytes).sliced(i, length).isValidUtf8()) {
            ++sequences;
            i += length;
        } else {
            ++faults;
            ++i;
        }
    }
    return sequences > 0 && faults * 2 <= sequences;
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

QByteArray reference(char32_t codePoint, bool css)
{
    const QByteArray hex = QByteArray::number(static_cast<uint>(codePoint), 16).toUpper();
    return css ? '\\' + hex + ' ' : "&#x" + hex + ';';
}

// Encodes a stretch that the codec refused: halves it until the characters it cannot hold are
// alone, so that a large text with one emoji costs a few more passes, not one per character.
void encodePiece(QStringView piece, bool css, QByteArray &out)
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
        out.append(
            reference(pair ? QChar::surrogateToUcs4(piece[0], piece[1]) : piece[0].unicode(), css));
        return;
    }
    qsizetype middle = length / 2;
    if (QChar::isLowSurrogate(piece[middle].unicode()) &&
        QChar::isHighSurrogate(piece[middle - 1].unicode()))
        ++middle; // never between the halves of a pair
    encodePiece(piece.first(middle), css, out);
    encodePiece(piece.sliced(middle), css, out);
}

} // namespace

QByteArray EncodeForSaving(const QString &text, bool css)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    encodePiece(text, css, out);
    return out;
}

QString LoadTextFile(IMessageService &messages, const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    const QString work = files::workFilePath();
    const WorkFileLock lock(work);
    if (!lock.held()) {
        messages.libraryError(files::msg::kLibraryBusy);
        messages.critical(path + files::msg::kCouldNotOpen);
        return {};
    }
    QFile::remove(work); // a stale work file would pass for this file's text
    const bool utf8 = isUtf8Page(path);
    basKanji::ConvertKanjiFile(messages, path, work,
                               utf8 ? QStringLiteral("-w") : QStringLiteral("-s"),
                               QStringLiteral("-crlf"));
    QFile file(work);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
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
    return utf8 ? QString::fromUtf8(bytes) : decodeCp932KeepingFaultyBytes(bytes);
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

bool SaveTextFile(IMessageService &messages, const QString &path, const QString &text)
{
    const bool css = GetExtension(path).compare(u"css", Qt::CaseInsensitive) == 0;
    const QString code = files::EffectiveSaveSetting(
        SaveSetting::KanjiCode, files::ReadSaveSetting(SaveSetting::KanjiCode));
    // UTF-8 holds every character: no references, and the work file in UTF-8 as well.
    const QByteArray bytes =
        code == u"UTF-8" ? EncodeUtf8ForSaving(text) : EncodeForSaving(text, css);
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
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
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

QString GetFileName(const QString &path)
{
    if (path.isEmpty() || path.endsWith(u'/'))
        return {};
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString GetExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

} // namespace scrivlet::basFile
