#include "dialogue/completion_words.h"

namespace {

// Alphabetical, so that candidates are listed in that order.
constexpr const char* function_names[] = {
    "acos", "arcos", "arcsen", "arcsin", "arctan", "arctg", "asin", "atan", "atg",
    "cos",  "cosec", "cotan",  "cotg",   "sec",    "sen",   "sin",  "tan",  "tg",
};

// Letters that can stand right before a function name: the radians prefix and "x" for times.
constexpr const char* leading_letters[] = {"rad", "x"};

}  // namespace

const CompletionWords function_name_words = {
    function_names, sizeof function_names / sizeof function_names[0], leading_letters,
    sizeof leading_letters / sizeof leading_letters[0]};
