#pragma once

#include <QString>

// Turns text into the words the search index stores, and a query into an FTS5 match
// expression over them. Both fold the text first (NFKC, then case folding), so full-width
// and half-width forms and Latin letter case compare equal. Han, kana and Hangul runs become
// overlapping two-character words plus the run's last character alone, so that every one-
// and two-character query is answered from the index; other letters and digits form words;
// everything else (punctuation, symbols, emoji) separates words.
namespace SearchTokens {

// Raised whenever forIndex() would split some text differently: the index then makes its
// words again in the background.
constexpr int kVersion = 1;

// The words of `text`, separated by single spaces.
QString forIndex(const QString &text);

// A match expression finding every text that contains `query` as a run of words: Han runs
// anywhere, Latin words from their start (the query's last word as a prefix). Empty when
// the query holds no word at all.
QString matchExpression(const QString &query);

} // namespace SearchTokens
