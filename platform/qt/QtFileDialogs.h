#pragma once
// File choosers on Qt's own file dialog; owns nothing.

#include "platform/IFileDialogs.h"

class QFileDialog;
class QRect;
class QWidget;

namespace scrivlet {

class QtFileDialogs final : public IFileDialogs
{
public:
    // Qt's own dialog rather than the desktop's: it shows each description exactly as the
    // caller wrote it and behaves the same on every desktop.
    FileDialogAnswer choose(const FileDialogRequest &request) override;
    QString chooseFolder(QObject *owner, const QString &prompt, const QString &start) override;

    // Qt's name filters for description and pattern pairs: "description (pattern pattern)".
    // Callers write Windows patterns: separated by ";", and "*.*" for every file, which to Qt
    // would be only the names with a dot.
    static QStringList nameFilters(const QList<std::pair<QString, QString>> &filters);

    // Where a folder chooser starts: the nearest folder that exists on the way up from start
    // (a file's own folder), the root for an empty start.
    static QString nearestFolder(const QString &start);

    // Sets a dialog up for the request: everything but the check that the folder exists, which
    // needs the dialog's own accept.
    static void configure(QFileDialog &dialog, const FileDialogRequest &request);

    // Shrinks a dialog to the room on its screen: Qt's file dialog keeps its size on a small or
    // scaled screen, where its buttons would be out of reach of the mouse.
    static void fitInto(QWidget &dialog, const QRect &room);
};

} // namespace scrivlet
