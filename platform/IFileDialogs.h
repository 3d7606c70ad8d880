#pragma once
// The platform's file choosers; owns nothing.

#include <QString>
#include <QStringList>

class QObject;

namespace scrivlet {

struct FileDialogRequest
{
    QObject *owner = nullptr; // the window the dialog is modal to
    QString title;
    // Description and pattern pairs, e.g. {"HTML Files (*.htm)", "*.htm;*.html"}.
    QList<std::pair<QString, QString>> filters;
    int filterIndex = 0; // 0-based index into filters of the pair chosen at first
    QString initialDirectory;
    QString fileName; // initial name
    bool save = false;
    bool multiSelect = false;
    bool pathMustExist = false;
    bool promptOverwrite = false;
    QString defaultSuffix;
};

struct FileDialogAnswer
{
    bool accepted = false;
    QStringList files; // full paths, in the order chosen
};

class IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;
    virtual FileDialogAnswer choose(const FileDialogRequest &request) = 0;
    // A folder chosen from the whole file system, modal to owner, with prompt as its title,
    // starting at start or the nearest folder above it; empty when the user cancelled.
    virtual QString chooseFolder(QObject *owner, const QString &prompt, const QString &start)
    {
        Q_UNUSED(owner);
        Q_UNUSED(prompt);
        Q_UNUSED(start);
        return {};
    }
};

} // namespace scrivlet
