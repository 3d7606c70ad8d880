#pragma once
// The word a double-click selects in Japanese text, which has no spaces between words: a run of
// one script, as Japanese editors take it.

#include <QStringView>

#include <utility>

namespace scrivlet {

// The run of kanji, of hiragana, of katakana (full- or half-width) or of full-width letters
// and digits around the character at `at` of `line`, as [begin, end); a long-vowel mark ー or a
// voiced mark belongs to the kana before it. Empty (at, at) when that character is none of them:
// other text keeps the widget's own words.
std::pair<qsizetype, qsizetype> JapaneseWordAt(QStringView line, qsizetype at);

// The widget's own word [begin, end) around `at`, which runs on over Japanese punctuation
// (、。・「」！), cut at the punctuation nearest to `at` on either side; a mark clicked on is a
// word of its own.
std::pair<qsizetype, qsizetype> WordBetweenJapanesePunctuation(QStringView line, qsizetype at,
                                                               qsizetype begin, qsizetype end);

} // namespace scrivlet
