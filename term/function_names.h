// The one table of function names the term evaluator knows: each spelling, the function it
// names and whether the argument follows it. The letter classes the evaluator scans with and
// the alphabetical list of names (for completion) are derived from it at compile time.
#pragma once

#include <array>

#include "term/term_text.h"

// The functions a term can name; `none` for letters that name no function.
enum class TermFunction {
  none,
  sine,
  cosine,
  tangent,
  cotangent,
  secant,
  cosecant,
  arc_sine,
  arc_cosine,
  arc_tangent
};

// True for the inverse functions: they take a ratio and give an angle.
constexpr bool is_inverse(TermFunction function) {
  return function == TermFunction::arc_sine || function == TermFunction::arc_cosine ||
         function == TermFunction::arc_tangent;
}

// One row of the table.
struct FunctionSpelling {
  const char* spelling;   // how the function letters begin
  TermFunction function;  // what they name
  bool argument_follows;  // the argument begins right after this spelling
};

// Looked up in order, the first row whose spelling begins the letters winning; where one
// spelling begins another, the longer comes first. The inverse functions' arguments follow
// the direct name inside them ("0.5" after the "sin" of "asin0.5").
inline constexpr FunctionSpelling function_spellings[] = {
    {"cosec", TermFunction::cosecant, true},
    {"cose", TermFunction::none, false},  // "cose" not going on to "cosec" is not the cosine
    {"cos", TermFunction::cosine, true},
    {"cotg", TermFunction::cotangent, true},
    {"cotan", TermFunction::cotangent, true},
    {"sec", TermFunction::secant, true},
    {"sen", TermFunction::sine, true},
    {"sin", TermFunction::sine, true},
    {"tan", TermFunction::tangent, true},
    {"tg", TermFunction::tangent, true},
    {"acos", TermFunction::arc_cosine, false},
    {"arcos", TermFunction::arc_cosine, false},
    {"asin", TermFunction::arc_sine, false},
    {"arcsin", TermFunction::arc_sine, false},
    {"arcsen", TermFunction::arc_sine, false},
    {"atan", TermFunction::arc_tangent, false},
    {"atg", TermFunction::arc_tangent, false},
    {"arctan", TermFunction::arc_tangent, false},
    {"arctg", TermFunction::arc_tangent, false},
};

// Rows in function_spellings.
inline constexpr int function_spelling_rows =
    static_cast<int>(sizeof function_spellings / sizeof function_spellings[0]);

namespace function_table {

// True when `a` sorts before `b`, byte by byte.
constexpr bool before_alphabetically(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return static_cast<unsigned char>(*a) < static_cast<unsigned char>(*b);
}

// True when no spelling is begun by a spelling in an earlier row (which would hide it).
constexpr bool longer_spellings_first() {
  for (const FunctionSpelling& later : function_spellings) {
    for (const FunctionSpelling& earlier : function_spellings) {
      if (&earlier == &later) break;
      if (starts_with(later.spelling, earlier.spelling)) return false;
    }
  }
  return true;
}

// How many rows name a function.
constexpr int count_names() {
  int count = 0;
  for (const FunctionSpelling& row : function_spellings)
    count += row.function != TermFunction::none;
  return count;
}

}  // namespace function_table

static_assert(function_table::longer_spellings_first(),
              "a spelling that begins another must come after it in function_spellings");

// How many spellings name a function.
inline constexpr int function_spelling_count = function_table::count_names();

// The spellings that name a function, in alphabetical order.
inline constexpr std::array<const char*, function_spelling_count> function_spelling_names = [] {
  std::array<const char*, function_spelling_count> names{};
  int count = 0;
  for (const FunctionSpelling& row : function_spellings) {
    if (row.function == TermFunction::none) continue;
    int at = count++;  // insertion sort: shift the later names up one place
    for (; at > 0 && function_table::before_alphabetically(row.spelling, names[at - 1]); --at) {
      names[at] = names[at - 1];
    }
    names[at] = row.spelling;
  }
  return names;
}();

// The rows of function_spellings by the first letter of their spelling, in the table's
// order, with each spelling's length: the evaluator looks a name up among the few rows of
// its first letter only.
constexpr int max_spellings_per_letter = 10;
struct SpellingsByLetter {
  unsigned char count[256];                           // rows whose spelling begins with the letter
  unsigned char rows[256][max_spellings_per_letter];  // those rows, in the table's order
  unsigned char length[256][max_spellings_per_letter];  // the length of each one's spelling
};

inline constexpr SpellingsByLetter spellings_by_letter = [] {
  SpellingsByLetter index{};
  for (int row = 0; row < function_spelling_rows; ++row) {
    const char* spelling = function_spellings[row].spelling;
    const auto first = static_cast<unsigned char>(spelling[0]);
    int length = 0;
    while (spelling[length] != '\0') ++length;
    const int k = index.count[first]++;
    index.rows[first][k] = static_cast<unsigned char>(row);
    index.length[first][k] = static_cast<unsigned char>(length);
  }
  return index;
}();

static_assert(
    [] {
      int per_letter[256] = {};
      for (const FunctionSpelling& row : function_spellings) {
        if (++per_letter[static_cast<unsigned char>(row.spelling[0])] > max_spellings_per_letter) {
          return false;
        }
      }
      return true;
    }(),
    "max_spellings_per_letter holds every letter's spellings");

// Which bytes take which part in a function name.
struct FunctionLetterClasses {
  bool begins_name[256];      // the first letter of some spelling: 'a', 'c', 's', 't'
  bool in_name[256];          // a letter of some spelling: "aceginorst"
  bool begins_argument[256];  // the first letter of a spelling the argument follows
};

// The letter classes of the spellings in function_spellings.
inline constexpr FunctionLetterClasses function_letter_classes = [] {
  FunctionLetterClasses classes{};
  for (const FunctionSpelling& row : function_spellings) {
    const auto first = static_cast<unsigned char>(row.spelling[0]);
    classes.begins_name[first] = true;
    if (row.argument_follows) classes.begins_argument[first] = true;
    for (const char* c = row.spelling; *c != '\0'; ++c) {
      classes.in_name[static_cast<unsigned char>(*c)] = true;
    }
  }
  return classes;
}();
