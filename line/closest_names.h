// The names a user may have meant: the spellings of functions nearest to a word that names
// none, by the number of letters to add, remove or change.
#pragma once

constexpr int suggestion_capacity = 3;  // names offered at most

constexpr int max_suggested_distance = 2;  // edits a suggested name may be away at most

// Edits (letters added, removed or changed) between the `length` bytes at `word` and `name`.
int spelling_distance(const char* word, int length, const char* name);

// The names a word is compared with: the term reading's spellings, or the natural reading's.
enum class NameList { term, natural };

// Fills `names` with the spellings of `list` nearest to the `length` bytes at `word` (matched
// in lower case): those the word begins first, then those at most `limit` edits away, nearest
// first, each group in alphabetical order (nothing when `limit` is below 1). Returns how many
// were found (0 to suggestion_capacity).
int closest_names(NameList list, const char* word, int length, int limit,
                  const char* (&names)[suggestion_capacity]);
