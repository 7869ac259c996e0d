// Completion of names at the cursor of a line being edited: which of the caller's words the
// letters before the cursor can begin, and what text the cursor can safely gain.
#pragma once

constexpr int completion_candidate_capacity = 32;  // candidates kept; later matches are left out
constexpr int completion_text_capacity = 16;       // bytes of the insertion, terminator included

// The words Tab completes, from the caller: `words` in the order candidates are listed, and
// `leading` the letter runs that may stand right before a word ("rad" before "sin").
struct CompletionWords {
  const char* const* words;    // the names to complete, `word_count` of them
  int word_count;              // entries in `words`
  const char* const* leading;  // prefixes skipped when no word begins with the whole run
  int leading_count;           // entries in `leading`
};

struct NameCompletion {
  char insertion[completion_text_capacity];  // text every candidate adds at the cursor
  int candidate_count;                       // words that begin with the text at the cursor
  const char* candidates[completion_candidate_capacity];  // those words, in the list's order
};

// Fills `completion` for the first `cursor` bytes of `text`: the word is the run of letters
// before the cursor, less a leading run from `words.leading` when no word begins with the
// whole run ("2sin" -> "sin", "radsi" -> "si", "2xta" -> "ta"); no word beginning it gives no
// candidates.
void complete_name(const char* text, int cursor, const CompletionWords& words,
                   NameCompletion& completion);
