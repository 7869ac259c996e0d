// The words Tab completes at the expression prompt: what such a list is, and the engine's own
// list, the function names the evaluator knows and the letters that may stand before one. The
// line editor takes this list from its caller; it defines none of its own.
#pragma once

constexpr int completion_word_capacity = 96;  // the most words a list may hold

// The words Tab completes: `words` in the order candidates are listed (at most
// completion_word_capacity), and `leading` the letter runs that may stand right before a word
// ("rad" before "sin").
struct CompletionWords {
  const char* const* words;    // the names to complete, `word_count` of them
  int word_count;              // entries in `words`
  const char* const* leading;  // prefixes skipped when no word begins with the whole run
  int leading_count;           // entries in `leading`
};

// Every spelling of a function the term evaluator knows, alphabetical, with "rad" (the
// radians prefix) and "x" (times) as the runs that may come right before a name.
extern const CompletionWords function_name_words;

// Every word the natural reading knows (its functions, raiz, sqrt, pi, rad, e, ans, resp,
// grad), alphabetical,
// with "rad" as the run that may come right before one.
extern const CompletionWords natural_name_words;

// The words Tab completes for the reading chosen: natural or the term reading's.
const CompletionWords& completion_words_for(bool natural);
