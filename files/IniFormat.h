#pragma once
// The profile format of the settings file and the per-tag files, as pure functions of the
// file's bytes: what a key's value reads as, and the bytes after one value is set. Keeping the
// bytes (rather than a parsed tree written back out) is what lets a write touch one line only.
//
// The format as the Windows profile functions read it: a line "[name]" opens a section, a line
// "name=value" holds a value; names match without regard to letter case; blanks around names
// and values do not count; the first of two sections or keys of one name wins; lines starting
// with ";" are comments. The bytes are Shift-JIS (CP932), or UTF-8 after a byte-order mark.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace scrivlet::files {

// The readers' buffer of 1024 bytes holds at most this much of a value before its NUL.
inline constexpr qsizetype kMaxProfileValueBytes = 1023;

// The value of key in the first section named section, with one pair of enclosing quotes
// dropped, ending at a NUL byte and cut at a character boundary to kMaxProfileValueBytes.
// nullopt when there is no such section or key, or the file is UTF-16, which this format does
// not cover.
std::optional<QString> profileValue(QByteArrayView file, QStringView section, QStringView key);

// The values of keys in the first section named section, in the order of keys, each as
// profileValue reads it (nullopt where there is none), from one pass over the file: a list of
// thousands of numbered keys costs one reading, not one per key.
QList<std::optional<QString>> profileValues(QByteArrayView file, QStringView section,
                                            const QStringList &keys);

// A value read as an integer: its leading run of decimal digits, held to the range of int. 0
// when it does not begin with a digit (a sign or a blank included).
int profileInteger(QStringView value);

// The file with key in section set to value, and every other byte as it was: an existing key's
// line is rewritten in place, a new key goes after the last entry of its section (in front of
// any comment lines that follow it), a new section right after the file's last line. Names
// match as they read back from the file's code, so a name holding an alternative form (〜, —)
// finds the line written for it. A value whose blanks or quotes at the edges would be lost on
// reading is written in double quotes. nullopt when the request cannot be stored faithfully: an
// empty name, a line break or NUL in a name or the value, "=" in a key or a key starting with "["
// or
// ";", a character the file's code cannot hold, or a UTF-16 file.
std::optional<QByteArray> withProfileValue(QByteArrayView file, QStringView section,
                                           QStringView key, QStringView value);

} // namespace scrivlet::files
