#pragma once
// The two ways the program compares text: exactly, unit by unit, and by the text comparison,
// which ignores letter case, full-width and half-width forms, and hiragana and katakana. Under
// the text comparison a kana and the voiced mark after it count as the one voiced kana they
// make (ﾃﾞ is デ), so a match can be longer or shorter than the needle, and none begins at the
// mark of such a pair; the functions that find one say how long it is.

#include <QStringView>

namespace scrivlet {

enum class CompareMode { Exact, Text };

// A stretch of a text: where it begins and how many units it takes.
struct TextSpan
{
    int position = 0;
    int length = 0;

    bool operator==(const TextSpan &) const = default;
};

// How many units at the beginning of haystack match the whole of needle under mode; -1 when
// they do not.
qsizetype matchLength(QStringView haystack, QStringView needle, CompareMode mode);

// Whether a and b are equal under mode.
bool textEquals(QStringView a, QStringView b, CompareMode mode);

// Whether haystack begins with needle under mode.
bool textStartsWith(QStringView haystack, QStringView needle, CompareMode mode);

// Index of the first match of needle that begins at from or later, or -1; length (when given)
// receives the match's length. An empty needle never matches.
qsizetype findForward(QStringView haystack, QStringView needle, qsizetype from, CompareMode mode,
                      qsizetype *length = nullptr);

// Index of the last match of needle that ends at or before end, or -1; length as above.
qsizetype findBackward(QStringView haystack, QStringView needle, qsizetype end, CompareMode mode,
                       qsizetype *length = nullptr);

} // namespace scrivlet
