#include "line/completion_words.h"

#include "term/function_names.h"
#include "term/normalise_term.h"

namespace {

// Letters that can stand right before a function name: the radians prefix and "x" for times.
constexpr const char* leading_letters[] = {radians_prefix, "x"};

constexpr const char* natural_leading[] = {radians_prefix};

static_assert(function_spelling_count <= completion_word_capacity &&
                  natural_spelling_count <= completion_word_capacity,
              "every name must fit among the completion candidates");

}  // namespace

// The evaluator's own table of spellings, alphabetical, so that candidates list in that order.
const CompletionWords function_name_words = {function_spelling_names.data(),
                                             function_spelling_count, leading_letters,
                                             sizeof leading_letters / sizeof leading_letters[0]};

const CompletionWords natural_name_words = {natural_spelling_names.data(), natural_spelling_count,
                                            natural_leading, 1};

const CompletionWords& completion_words_for(bool natural) {
  return natural ? natural_name_words : function_name_words;
}
