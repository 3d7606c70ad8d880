#include "platform/qt/QtFileDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

namespace scrivlet {

namespace {

// The files in folder that a list of quoted names stands for, as the dialog lists several
// selected files ("a.html" "b.html"); empty unless every name is a file there. Qt splits such a
// list at every quote, so one name holding a quote (say "hi".html) broke the whole choice: here
// the pieces between the separators are joined until they name a file.
QStringList filesOfList(const QString &list, const QDir &folder)
{
    if (list.size() < 2 || !list.startsWith(u'"') || !list.endsWith(u'"'))
        return {};
    const QString separator = QStringLiteral("\" \"");
    QStringList files;
    QString name;
    bool open = false; // a name begun in an earlier piece
    for (const QString &piece : list.mid(1, list.size() - 2).split(separator)) {
        name = open ? name + separator + piece : piece;
        const QString path = folder.absoluteFilePath(name);
        open = !QFileInfo(path).isFile();
        if (!open)
            files << path;
    }
    return open ? QStringList() : files;
}

// Qt's dialog lets a name to save into a folder that does not exist through; this one keeps
// the dialog open instead, with Qt's own words for it. It also takes a typed name with a quote
// in it as one name, to save or to open: Qt reads quotes as the marks around several names
// ("a" "b"), saved new"q.html as q.html in the program's folder, and opened double.html for
// quote"double.html.
class PathCheckingFileDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    bool pathMustExist = false;
    QStringList typedNames; // the files chosen when Qt would have split their names

    void accept() override
    {
        const auto *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        const QString whole = directory().absoluteFilePath(typed);
        // Only a list of names to open starts with a quote.
        const bool quoted =
            typed.contains(u'"') && (acceptMode() == AcceptSave || !typed.startsWith(u'"'));
        if (fileMode() == ExistingFiles && !quoted) {
            typedNames = filesOfList(typed, directory());
            if (!typedNames.isEmpty()) {
                QDialog::accept();
                return;
            }
        }
        const QStringList files = quoted ? QStringList{whole} : selectedFiles();
        if (pathMustExist) {
            for (const QString &file : files) {
                const QString folder = QFileInfo(file).absolutePath();
                if (QFileInfo(folder).isDir())
                    continue;
                const QString text =
                    QCoreApplication::translate("QFileDialog",
                                                "%1\nDirectory not found.\nPlease verify the "
                                                "correct directory name was given.")
                        .arg(QDir::toNativeSeparators(folder));
                QMessageBox::warning(this, windowTitle(), text);
                return;
            }
        }
        if (!quoted) {
            QFileDialog::accept();
            return;
        }
        const QFileInfo target(files.first());
        if (target.isDir())
            return;
        if (acceptMode() == AcceptOpen && !target.isFile()) {
            const QString text =
                QCoreApplication::translate("QFileDialog", "%1\nFile not found.\nPlease verify the "
                                                           "correct file name was given.")
                    .arg(target.fileName());
            QMessageBox::warning(this, windowTitle(), text);
            return;
        }
        if (acceptMode() == AcceptSave && target.exists() && !testOption(DontConfirmOverwrite)) {
            const QString question =
                QCoreApplication::translate("QFileDialog",
                                            "%1 already exists.\nDo you want to replace it?")
                    .arg(target.fileName());
            if (QMessageBox::warning(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) != QMessageBox::Yes)
                return;
        }
        typedNames = {target.absoluteFilePath()};
        QDialog::accept();
    }
};

// The room on the screen of owner, or of the primary screen without one.
QRect roomFor(const QWidget *owner)
{
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

QStringList QtFileDialogs::nameFilters(const QList<std::pair<QString, QString>> &filters)
{
    QStringList out;
    for (const auto &[description, patterns] : filters) {
        QStringList parts;
        for (const QString &pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (trimmed.isEmpty())
                continue;
            parts.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
        }
        if (parts.isEmpty())
            parts.append(QStringLiteral("*"));
        out.append(description + QStringLiteral(" (") + parts.join(u' ') + u')');
    }
    return out;
}

void QtFileDialogs::configure(QFileDialog &dialog, const FileDialogRequest &request)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    // No starting folder is the current directory: Qt alone would start in a folder it showed
    // some dialogs ago.
    dialog.setDirectory(request.initialDirectory.isEmpty() ? QDir::currentPath()
                                                           : request.initialDirectory);
    // The patterns are in the description already, as the caller wrote it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
    }

    const QStringList filters = nameFilters(request.filters);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex, filters.first()));
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

FileDialogAnswer QtFileDialogs::choose(const FileDialogRequest &request)
{
    PathCheckingFileDialog dialog(qobject_cast<QWidget *>(request.owner));
    configure(dialog, request);
    fitInto(dialog, roomFor(dialog.parentWidget()));
    dialog.pathMustExist = request.pathMustExist;
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (!dialog.typedNames.isEmpty())
        return {true, dialog.typedNames};
    return {true, dialog.selectedFiles()};
}

QString QtFileDialogs::nearestFolder(const QString &start)
{
    QString folder = start.isEmpty() ? QDir::rootPath() : QFileInfo(start).absoluteFilePath();
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot())
        folder = QFileInfo(folder).absolutePath();
    return folder;
}

QString QtFileDialogs::chooseFolder(QObject *owner, const QString &prompt, const QString &start)
{
    // Folders only, anywhere in the file system.
    QFileDialog dialog(qobject_cast<QWidget *>(owner), prompt, nearestFolder(start));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    fitInto(dialog, roomFor(dialog.parentWidget()));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void QtFileDialogs::fitInto(QWidget &dialog, const QRect &room)
{
    if (room.isValid())
        dialog.resize(dialog.size().boundedTo(room.size()));
}

} // namespace scrivlet
