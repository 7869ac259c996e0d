#include "line/completion_words.h"

#include "term/function_names.h"
#include "term/normalise_term.h"

namespace {

// Letters that can stand right before a function name: the radians prefix and "x" for times.
constexpr const char* leading_letters[] = {radians_prefix, "x"};

static_assert(function_spelling_count <= completion_word_capacity,
              "every function name must fit among the completion candidates");

}  // namespace

// The evaluator's own table of spellings, alphabetical, so that candidates list in that order.
const CompletionWords function_name_words = {function_spelling_names.data(),
                                             function_spelling_count, leading_letters,
                                             sizeof leading_letters / sizeof leading_letters[0]};
