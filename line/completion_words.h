// The words Tab completes at the expression prompt: the function names the evaluator knows
// and the letters that may stand before one.
#pragma once

#include "console/name_completion.h"

// Every spelling of a function the term evaluator knows, alphabetical, with "rad" (the
// radians prefix) and "x" (times) as the runs that may come right before a name.
extern const CompletionWords function_name_words;
