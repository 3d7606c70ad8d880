#pragma once
// The settings module: values of Scrivlet.ini, and of a per-tag attribute file while that is
// current, read from the file at the moment they are asked for and written at once. Nothing is
// cached, so a value written by one window, or changed in the file by hand, is what the next
// read sees.
//
// The current profile file is process-wide state, switched from the one user-interface thread
// only; there is no lock.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace scrivlet::basINI {

// Makes path the file that the reads and writes act on.
void SetIniFile(const QString &path);

// The file that the reads and writes act on; empty until SetIniFile.
QString CurrentIniFile();

// The value of key in section read as an integer: its leading decimal digits, held to the
// range of int; 0 when the value does not begin with a digit (a sign, a blank kept inside
// quotes, an empty value). defaultValue when the file, the section or the key does not exist.
int ReadIniInt(const QString &section, const QString &key, int defaultValue);

// The value of key in section: blanks at its edges and one pair of enclosing quotes dropped,
// ending at a NUL byte, at most 1023 bytes of Shift-JIS, never half a character. defaultValue
// when the file, the section or the key does not exist or the file cannot be read.
QString ReadIniString(const QString &section, const QString &key, const QString &defaultValue);

// ReadIniString for each of keys, reading the file once.
QStringList ReadIniStrings(const QString &section, const QStringList &keys,
                           const QString &defaultValue);

// Sets key in section to value, creating the file, the section and the key as needed; an empty
// value leaves "key=" in the file. Only that line changes, and the file is replaced whole, so a
// failure at any point leaves the old file as it was. False when nothing was written: no current
// file, its folder missing or not writable, the file unreadable or read-only, a value holding a
// line break, a character Shift-JIS cannot hold, or one it holds only as another (〜 as ～).
bool WriteIniString(const QString &section, const QString &key, const QString &value);

// One value of a settings file, for a write of several.
struct IniValue
{
    QString section;
    QString key;
    QString value;
};

// Sets every value as WriteIniString does, in one replacement of the file: all of them, or none
// when one of them cannot be written.
bool WriteIniValues(const QList<IniValue> &values);

// Writes a numbered list, the values under the keys "1", "2", ... of section. A value the file
// cannot give back as it was (a character outside its code, a value longer than a read takes) is
// left out and the later ones move up, so that no key keeps the value an earlier run left there;
// the keys left over are emptied. False when the file took none of it.
bool WriteIniList(const QString &section, const QStringList &values);

// The keys of a numbered list of count values: "1", "2", ... up to count.
QStringList NumberedKeys(int count);

// The lists the program keeps in Scrivlet.ini from one session to the next, each a numbered
// list of at most size values under its section: read at start, written at exit.
struct KeptList
{
    QStringView section;
    int size;
};
inline constexpr KeptList kKeptLists[] = {
    {u"History", 5}, {u"FindHistory", 10}, {u"ReplaceHistory", 10}};

// Forgets the current file, as at start. For tests.
void ResetForTests();

} // namespace scrivlet::basINI
