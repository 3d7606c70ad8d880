#include "files/basKanji.h"

#include "files/Messages.h"
#include "platform/Globals.h"
#include "platform/IMessageService.h"
#include "unkanj/unkanj.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace scrivlet::basKanji {

namespace {

const QString kLibraryName = QStringLiteral("UNKANJ.DLL");
// The library fills this much text, which nothing reads; its size is part of the contract.
constexpr int kBufferSize = 10240;

struct Library
{
    void *handle = nullptr;
    ccGetRunningFunction getRunning = nullptr;
    ccCommandFunction command = nullptr;
};

// The library stays loaded once found: loading it for each conversion would cost more than the
// conversion of a page.
Library &loadedLibrary()
{
    static Library library;
    return library;
}

const Library *library()
{
    Library &lib = loadedLibrary();
    if (lib.handle)
        return &lib;
    const QString path = FindLibrary();
    if (path.isEmpty())
        return nullptr;
    void *handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto getRunning = reinterpret_cast<ccGetRunningFunction>(::dlsym(handle, "ccGetRunning"));
    auto command = reinterpret_cast<ccCommandFunction>(::dlsym(handle, "ccCommand"));
    if (!getRunning || !command) {
        ::dlclose(handle);
        return nullptr;
    }
    lib = {handle, getRunning, command};
    return &lib;
}

// The path as the command carries it; empty when the converter could not read it back. It
// reads a bare path up to a blank, and a quoted one up to a quote that a blank or the end
// follows, so a quote elsewhere in a path is the path's own.
QByteArray quoted(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    if (!bytes.contains(' ') && !bytes.contains(',') && !bytes.contains('\t'))
        return bytes.startsWith('"') ? QByteArray() : bytes;
    if (bytes.endsWith('"') || bytes.contains("\" ") || bytes.contains("\"\t"))
        return {};
    return '"' + bytes + '"';
}

} // namespace

// The program directory, then PATH. Never the current directory: the file dialogs move the
// process into the folders of the user's pages, and a library found there would run as the
// program.
QString FindLibrary()
{
    QStringList folders{gProgramDirectory};
    folders += qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(kLibraryName);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

void UnloadLibraryForTests()
{
    Library &lib = loadedLibrary();
    if (lib.handle)
        ::dlclose(lib.handle);
    lib = {};
}

QByteArray BuildCommand(const QString &codeOption, const QString &lineOption, const QString &source,
                        const QString &destination, const QString &sourceCodeOption)
{
    const QByteArray from = quoted(source);
    const QByteArray to = quoted(destination);
    if (from.isEmpty() || to.isEmpty())
        return {};
    QByteArray options = codeOption.toLatin1() + ' ' + lineOption.toLatin1();
    if (!sourceCodeOption.isEmpty())
        options += ' ' + sourceCodeOption.toLatin1();
    return "t " + options + ' ' + from + ' ' + to;
}

bool ConvertKanjiFile(IMessageService &messages, const QString &source, const QString &destination,
                      const QString &codeOption, const QString &lineOption,
                      const QString &sourceCodeOption)
{
    const Library *lib = library();
    if (!lib) {
        messages.libraryError(files::msg::kLibraryMissing);
        return false;
    }
    if (lib->getRunning() != 0) {
        messages.libraryError(files::msg::kLibraryBusy);
        return false;
    }
    const QByteArray command =
        BuildCommand(codeOption, lineOption, source, destination, sourceCodeOption);
    if (command.isEmpty())
        return false;
    QByteArray buffer(kBufferSize, '\0');
    return lib->command(nullptr, command.constData(), buffer.data(), kBufferSize) == 0;
}

} // namespace scrivlet::basKanji
