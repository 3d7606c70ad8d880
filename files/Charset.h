#pragma once
// The charset a page declares, set against the kanji code it is saved in. The program never
// rewrites the declaration (it changes codes without touching markup); it only tells the author
// when the two disagree.

#include <QString>

namespace scrivlet::files {

// The label of the charset declaration of the text, as written: a style sheet's @charset rule
// at its very start, else the first <meta charset="..."> or charset= of
// <meta http-equiv="Content-Type" content="...">, else an XML declaration's encoding at the very
// start; empty when there is none.
QString DeclaredCharset(const QString &text);

// The KanjiCode value ("Shift-JIS", "JIS", "EUC", "UTF-8") whose bytes a charset label names,
// its letter case aside; empty for a label that names none of them.
QString KanjiCodeOfCharset(const QString &label);

// The label a page declares the bytes of a KanjiCode value with ("EUC" → "EUC-JP"); empty for
// a value that names no code.
QString CharsetOfKanjiCode(const QString &code);

// The code a save writes for a KanjiCode setting: "JIS", "EUC", "UTF-8", or "Shift-JIS" for
// any other value.
QString SavedKanjiCode(const QString &setting);

} // namespace scrivlet::files
