#pragma once
// The program-wide state that the frame sets up at start and every window shares. Nothing else
// in the program is global; tests put everything back with ResetGlobals().

#include <QString>
#include <QStringList>

namespace scrivlet {

// The folder of the executable, ending with "/": the base of every data path.
inline QString gProgramDirectory;
// The file the next document window opens; empty for a new untitled document.
inline QString gOpenFileName;
// Number of the next untitled document (無題1, 無題2 ...) and serial of the next document
// window (its Tag "Number1" ...). Both only grow within a run.
inline int gUntitledCount = 1;
inline int gWindowSerial = 1;
// Recent files, slots 1 to 5 at indexes 0 to 4.
inline QStringList gHistory;
// Remembered search and replacement strings, slots 1 to 10 at indexes 0 to 9, newest first.
inline QStringList gFindHistory;
inline QStringList gReplaceHistory;
// The completion dictionaries, read once at start.
inline QStringList gTagList;
inline QStringList gAttributeList;

inline void ResetGlobals()
{
    gProgramDirectory.clear();
    gOpenFileName.clear();
    gUntitledCount = 1;
    gWindowSerial = 1;
    gHistory = QStringList(5);
    gFindHistory = QStringList(10);
    gReplaceHistory = QStringList(10);
    gTagList.clear();
    gAttributeList.clear();
}

} // namespace scrivlet
