// Completion of function names at the cursor of a line being edited: which names the
// letters before the cursor can begin, and what text the cursor can safely gain.
#pragma once

constexpr int function_name_count = 18;      // function names the evaluator understands
constexpr int completion_text_capacity = 8;  // longest name (6 letters), with room to spare

struct NameCompletion {
  char insertion[completion_text_capacity];     // text every candidate adds at the cursor
  int candidate_count;                          // names that begin with the word at the cursor
  const char* candidates[function_name_count];  // those names, in alphabetical order
};

// Fills `completion` for the first `cursor` bytes of `text`: the word is the run of letters
// before the cursor, less a leading "rad" or "x" when no name begins with the whole run
// ("2sin" -> "sin", "radsi" -> "si", "2xta" -> "ta"); no name beginning the word gives no
// candidates.
void complete_function_name(const char* text, int cursor, NameCompletion& completion);
