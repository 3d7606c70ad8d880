#pragma once
// Conversions that map characters one by one or in small clusters: letter case, character
// width and kana type.

#include <QString>

namespace scrivlet::html {

QString toLowerLetters(const QString &text);
QString toUpperLetters(const QString &text);

QString toHalfWidth(const QString &text);
QString toFullWidth(const QString &text);
QString halfKanaToFullWidth(const QString &text);

QString katakanaToHiragana(const QString &text);
QString hiraganaToKatakana(const QString &text);

} // namespace scrivlet::html
