#pragma once
// Shift-JIS as Windows writes it (code page 932, with the NEC and IBM extensions), to and from
// QString, through glibc's "CP932" table. Qt 6 promises no such codec, and plain "Shift_JIS"
// tables disagree with Windows on the wave dash, the backslash-like signs and the extensions.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace scrivlet {

// The text of bytes. A byte that begins no character of the code (a lone lead byte, 0x80, 0xA0,
// 0xFD to 0xFF) becomes U+FFFD and decoding goes on with the next byte; *ok tells whether that
// ever happened.
QString decodeCp932(QByteArrayView bytes, bool *ok = nullptr);

// A document's text: as decodeCp932, but a faulty byte becomes the lone surrogate U+DC00 plus
// the byte (U+DC80 to U+DCFF), which savedByte() turns back into the byte. A page with stray
// bytes then saves unchanged as it was loaded.
QString decodeCp932KeepingFaultyBytes(QByteArrayView bytes);

// The byte a unit of decodeCp932KeepingFaultyBytes stands for, or -1 for any other unit.
inline int savedByte(char16_t unit)
{
    return unit >= 0xDC80 && unit <= 0xDCFF ? unit - 0xDC00 : -1;
}

// The bytes of text. A character the code cannot hold becomes "?" and *ok is false. Besides the
// characters without a code, that includes the ones glibc would quietly turn into something
// else: U+00A5 and U+203E (into the ASCII backslash and tilde) and the tag characters U+E0000
// to U+E007F (into nothing). The JIS forms of the wave dash, double vertical line, minus sign,
// em dash, cent, pound and not sign take the code of their Windows twins and count as held
// (the table of unkanj/AlternativeForms.h, which the converter shares).
QByteArray encodeCp932(QStringView text, bool *ok = nullptr);

} // namespace scrivlet
