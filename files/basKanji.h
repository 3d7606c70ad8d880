#pragma once
// The kanji-code converter library UNKANJ.DLL as the file layer calls it: found and loaded once,
// then kept for the life of the program.

#include <QByteArray>
#include <QString>

namespace scrivlet {
class IMessageService;
}

namespace scrivlet::basKanji {

// Converts source into destination with the library: codeOption "-s", "-j", "-e" or "-w",
// lineOption "-crlf", "-CRLF", "-CR" or "-LF". sourceCodeOption ("-S", "-W") names the source's
// code when the caller knows it; without it the library tells the code from the bytes. Shows
// the library's own message, titled "エラー", when it is missing or busy. True when the library
// reported success.
bool ConvertKanjiFile(IMessageService &messages, const QString &source, const QString &destination,
                      const QString &codeOption, const QString &lineOption,
                      const QString &sourceCodeOption = QString());

// The command line for the library: "t", the options and the two paths, a path with a blank or
// a comma in double quotes. Paths are given as the file system's bytes. Empty when a path holds
// a double quote or a NUL, which the command cannot carry.
QByteArray BuildCommand(const QString &codeOption, const QString &lineOption, const QString &source,
                        const QString &destination, const QString &sourceCodeOption = QString());

// Where the library was found: the program directory, then the current directory, then each
// folder of PATH. Empty when it is nowhere.
QString FindLibrary();

// Forgets the loaded library, so that the next conversion looks for it again. For tests.
void UnloadLibraryForTests();

} // namespace scrivlet::basKanji
