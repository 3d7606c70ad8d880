#pragma once
// Per-unit character mappings shared by the text comparison and the string conversions.
// Every mapping keeps the length: one UTF-16 unit in, one unit out; only composeWithMark takes
// two.

#include <QChar>

namespace scrivlet::chars {

// The simple case pairs that map both ways and stay within Latin, Greek, Cyrillic,
// full-width Latin, the Roman numerals and the circled letters. A unit whose mapping is
// one-way or changes the length (ß, ς, µ, ı, ſ, İ, K, Ω ...) has no pair and comes back
// unchanged.
char16_t toLowerPair(char16_t c);
char16_t toUpperPair(char16_t c);

// Half-width katakana and punctuation U+FF61..U+FF9F to their full-width forms, one for
// one; the voiced marks become the spacing marks U+309B and U+309C. Others unchanged.
char16_t halfKanaToFull(char16_t c);

// The unit the text comparison compares: width folded first (full-width ASCII to ASCII,
// U+3000 to space, half-width katakana to full-width), then kana (hiragana to katakana),
// then letter case (to the lower unit of the pair).
char16_t foldForCompare(char16_t c);

// The folded kana that a folded kana and a voiced or semi-voiced mark after it make together
// (カ and ゛ make ガ, ハ and ゜ make パ), whichever form the mark had: half-width, spacing or
// combining. 0 when they make none. The one place where two units compare as one.
char16_t composeWithMark(char16_t foldedKana, char16_t foldedMark);

} // namespace scrivlet::chars
