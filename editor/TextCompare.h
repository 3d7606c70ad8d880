#pragma once
// The two ways the program compares text: exactly, unit by unit, and by the text comparison,
// which ignores letter case, full-width and half-width forms, and hiragana and katakana. Both
// compare one UTF-16 unit with one unit, so a match always has the needle's length.

#include <QStringView>

namespace scrivlet {

enum class CompareMode { Exact, Text };

// Whether a and b are equal under mode.
bool textEquals(QStringView a, QStringView b, CompareMode mode);

// Whether haystack begins with needle under mode.
bool textStartsWith(QStringView haystack, QStringView needle, CompareMode mode);

// Index of the first match of needle that begins at from or later, or -1. An empty needle
// never matches.
qsizetype findForward(QStringView haystack, QStringView needle, qsizetype from, CompareMode mode);

// Index of the last match of needle that ends at or before end, or -1.
qsizetype findBackward(QStringView haystack, QStringView needle, qsizetype end, CompareMode mode);

} // namespace scrivlet
