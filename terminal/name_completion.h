// Completion of names at the cursor of a line being edited: which of the caller's words the
// letters before the cursor can begin, and what text the cursor can safely gain.
#pragma once

#include "line/completion_words.h"

// Candidates kept: every word of a list can be one (later matches would be left out).
constexpr int completion_candidate_capacity = completion_word_capacity;
constexpr int completion_text_capacity = 16;  // bytes of the insertion, terminator included

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
