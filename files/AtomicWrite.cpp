#include "files/AtomicWrite.h"

#include "fileio/AtomicReplace.h"

#include <QFile>

#include <string>

namespace scrivlet::files {

bool replaceFileContents(const QString &path, QByteArrayView bytes)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    int error = 0;
    return fileio::replaceFile(
        std::string(name.constData(), static_cast<std::size_t>(name.size())),
        std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())), error);
}

} // namespace scrivlet::files
