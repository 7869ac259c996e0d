// The one table of the names both readings know: each spelling, the word it writes and which
// readings accept it, with, for the term reading, whether the argument follows it. Its index
// by first letter, the letter classes the term reading scans with and each reading's
// alphabetical list of names (for completion and for the names suggested for an unknown word)
// are derived from it at compile time.
#pragma once

#include <array>

#include "term/term_text.h"

// The functions a line can name; `none` for letters that name no function. The term reading
// knows the trigonometric ones, from the sine to the arc tangent; the natural reading knows
// them all: the logarithms, the exponential, the hyperbolic functions and their inverses, and
// the absolute value, which take and give plain numbers.
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
  arc_tangent,
  natural_logarithm,
  common_logarithm,
  exponential,
  hyperbolic_sine,
  hyperbolic_cosine,
  hyperbolic_tangent,
  arc_hyperbolic_sine,
  arc_hyperbolic_cosine,
  arc_hyperbolic_tangent,
  absolute_value
};

// The last function, for tables by function.
constexpr TermFunction last_term_function = TermFunction::absolute_value;

// True for the inverse trigonometric functions: they take a ratio and give an angle.
constexpr bool is_inverse(TermFunction function) {
  return function == TermFunction::arc_sine || function == TermFunction::arc_cosine ||
         function == TermFunction::arc_tangent;
}

// True for the direct trigonometric functions, from the sine to the cosecant: they take an
// angle, in degrees or radians.
constexpr bool is_direct_trigonometric(TermFunction function) {
  return function >= TermFunction::sine && function <= TermFunction::cosecant;
}

// The word a spelling writes: a function, the square root, pi, the radians mark, e, the last
// answer or the grads mark; `none` for letters the term reading reads as no name. The natural
// reading writes the inverse secant, cosecant and cotangent with the functions the program
// form has: arccos(1/x), arcsin(1/x) and 90 degrees (or pi/2) minus arctg x, whose values lie
// from 0 to 180 degrees.
enum class Word : unsigned char {
  none,
  sine,
  cosine,
  tangent,
  cotangent,
  secant,
  cosecant,
  arc_sine,
  arc_cosine,
  arc_tangent,
  arc_secant,
  arc_cosecant,
  arc_cotangent,
  natural_logarithm,
  common_logarithm,
  exponential,
  hyperbolic_sine,
  hyperbolic_cosine,
  hyperbolic_tangent,
  arc_hyperbolic_sine,
  arc_hyperbolic_cosine,
  arc_hyperbolic_tangent,
  absolute_value,
  square_root,
  pi,
  radians,
  euler,        // e, the number: exp 1
  last_answer,  // the value of the line before ("ans", "resp")
  grads         // the grads mark after a number: 100 grads are 90 degrees
};

// The function a program step applies for `word` (none for the inverse secant, cosecant and
// cotangent, which the natural reading writes with others, and for the words that are no
// function).
constexpr TermFunction term_function_for(Word word) {
  switch (word) {
    case Word::sine:
      return TermFunction::sine;
    case Word::cosine:
      return TermFunction::cosine;
    case Word::tangent:
      return TermFunction::tangent;
    case Word::cotangent:
      return TermFunction::cotangent;
    case Word::secant:
      return TermFunction::secant;
    case Word::cosecant:
      return TermFunction::cosecant;
    case Word::arc_sine:
      return TermFunction::arc_sine;
    case Word::arc_cosine:
      return TermFunction::arc_cosine;
    case Word::arc_tangent:
      return TermFunction::arc_tangent;
    case Word::natural_logarithm:
      return TermFunction::natural_logarithm;
    case Word::common_logarithm:
      return TermFunction::common_logarithm;
    case Word::exponential:
      return TermFunction::exponential;
    case Word::hyperbolic_sine:
      return TermFunction::hyperbolic_sine;
    case Word::hyperbolic_cosine:
      return TermFunction::hyperbolic_cosine;
    case Word::hyperbolic_tangent:
      return TermFunction::hyperbolic_tangent;
    case Word::arc_hyperbolic_sine:
      return TermFunction::arc_hyperbolic_sine;
    case Word::arc_hyperbolic_cosine:
      return TermFunction::arc_hyperbolic_cosine;
    case Word::arc_hyperbolic_tangent:
      return TermFunction::arc_hyperbolic_tangent;
    case Word::absolute_value:
      return TermFunction::absolute_value;
    default:
      return TermFunction::none;
  }
}

// Which readings accept a spelling, as flags.
enum SpellingReadings : unsigned char {
  in_term = 1,     // the term reading (the default): matched in lower case, in the table's order
  in_natural = 2,  // the natural reading: matched whole, in any case
  in_both = in_term | in_natural
};

// One row of the table.
struct FunctionSpelling {
  const char* spelling;    // in lower case
  Word word;               // what it writes
  unsigned char readings;  // the readings that accept it
  bool argument_follows;   // in the term reading, the argument begins right after it
};

// The term reading looks its rows up in order, the first whose spelling begins the letters
// winning: where one of its spellings begins another, the longer comes first. The inverse
// functions' arguments follow the direct name inside them ("0.5" after the "sin" of "asin0.5").
// The natural reading matches a word whole, so its rows may stand anywhere.
inline constexpr FunctionSpelling function_spellings[] = {
    {"cosec", Word::cosecant, in_both, true},
    {"cose", Word::none, in_term, false},  // "cose" not going on to "cosec" is not the cosine
    {"cos", Word::cosine, in_both, true},
    {"cosseno", Word::cosine, in_natural, false},
    {"cossec", Word::cosecant, in_natural, false},
    {"csc", Word::cosecant, in_natural, false},
    {"cotg", Word::cotangent, in_both, true},
    {"cotan", Word::cotangent, in_both, true},
    {"cot", Word::cotangent, in_natural, false},
    {"cotang", Word::cotangent, in_natural, false},
    {"sen", Word::sine, in_both, true},
    {"sin", Word::sine, in_both, true},
    {"seno", Word::sine, in_natural, false},
    {"sec", Word::secant, in_both, true},
    {"tan", Word::tangent, in_both, true},
    {"tg", Word::tangent, in_both, true},
    {"tang", Word::tangent, in_natural, false},
    {"acos", Word::arc_cosine, in_both, false},
    {"arcos", Word::arc_cosine, in_both, false},
    {"arccos", Word::arc_cosine, in_natural, false},
    {"arccosseno", Word::arc_cosine, in_natural, false},
    {"asin", Word::arc_sine, in_both, false},
    {"arcsin", Word::arc_sine, in_both, false},
    {"arcsen", Word::arc_sine, in_both, false},
    {"arcseno", Word::arc_sine, in_natural, false},
    {"atan", Word::arc_tangent, in_both, false},
    {"atg", Word::arc_tangent, in_both, false},
    {"arctan", Word::arc_tangent, in_both, false},
    {"arctg", Word::arc_tangent, in_both, false},
    {"arctang", Word::arc_tangent, in_natural, false},
    {"arcsec", Word::arc_secant, in_natural, false},
    {"asec", Word::arc_secant, in_natural, false},
    {"arccossec", Word::arc_cosecant, in_natural, false},
    {"arccosec", Word::arc_cosecant, in_natural, false},
    {"arccsc", Word::arc_cosecant, in_natural, false},
    {"acsc", Word::arc_cosecant, in_natural, false},
    {"arccotg", Word::arc_cotangent, in_natural, false},
    {"arccot", Word::arc_cotangent, in_natural, false},
    {"arccotan", Word::arc_cotangent, in_natural, false},
    {"acot", Word::arc_cotangent, in_natural, false},
    {"ln", Word::natural_logarithm, in_natural, false},
    {"log", Word::common_logarithm, in_natural, false},
    {"exp", Word::exponential, in_natural, false},
    {"senh", Word::hyperbolic_sine, in_natural, false},
    {"sinh", Word::hyperbolic_sine, in_natural, false},
    {"cosh", Word::hyperbolic_cosine, in_natural, false},
    {"tgh", Word::hyperbolic_tangent, in_natural, false},
    {"tanh", Word::hyperbolic_tangent, in_natural, false},
    {"arcsenh", Word::arc_hyperbolic_sine, in_natural, false},
    {"arcsinh", Word::arc_hyperbolic_sine, in_natural, false},
    {"argsenh", Word::arc_hyperbolic_sine, in_natural, false},
    {"asinh", Word::arc_hyperbolic_sine, in_natural, false},
    {"arccosh", Word::arc_hyperbolic_cosine, in_natural, false},
    {"argcosh", Word::arc_hyperbolic_cosine, in_natural, false},
    {"acosh", Word::arc_hyperbolic_cosine, in_natural, false},
    {"arctgh", Word::arc_hyperbolic_tangent, in_natural, false},
    {"arctanh", Word::arc_hyperbolic_tangent, in_natural, false},
    {"argtgh", Word::arc_hyperbolic_tangent, in_natural, false},
    {"atanh", Word::arc_hyperbolic_tangent, in_natural, false},
    {"abs", Word::absolute_value, in_natural, false},
    {"raiz", Word::square_root, in_natural, false},
    {"sqrt", Word::square_root, in_natural, false},
    {"pi", Word::pi, in_natural, false},
    {"rad", Word::radians, in_natural, false},
    {"e", Word::euler, in_natural, false},
    {"ans", Word::last_answer, in_natural, false},
    {"resp", Word::last_answer, in_natural, false},
    {"grad", Word::grads, in_natural, false},
};

// Rows in function_spellings.
inline constexpr int function_spelling_rows =
    static_cast<int>(sizeof function_spellings / sizeof function_spellings[0]);

// Letters of the longest spelling.
inline constexpr int spelling_capacity = 10;

// True when the row at `row` is accepted by the readings in `readings`.
constexpr bool accepted(int row, unsigned char readings) {
  return (function_spellings[row].readings & readings) != 0;
}

// The function the term reading reads for the row at `row`.
constexpr TermFunction function_of_row(int row) {
  return term_function_for(function_spellings[row].word);
}

namespace function_table {

constexpr int length_of(const char* text) {
  int length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

// True when `a` sorts before `b`, byte by byte: the one order of the names' lists.
constexpr bool before_alphabetically(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return static_cast<unsigned char>(*a) < static_cast<unsigned char>(*b);
}

// True when `spelling` holds an 'x'.
constexpr bool holds_x(const char* spelling) {
  for (; *spelling != '\0'; ++spelling) {
    if (*spelling == 'x') return true;
  }
  return false;
}

// True when every spelling is of lower-case letters, fits spelling_capacity and is listed
// once; those of the term reading of two letters or more other than 'x'. The natural reading
// takes a word of one letter ("e") only where it stands alone, and one with an 'x' (which it
// otherwise reads as times or the unknown) only where it begins with a letter other than 'x'.
constexpr bool spellings_well_formed() {
  for (int k = 0; k < function_spelling_rows; ++k) {
    const char* spelling = function_spellings[k].spelling;
    const int length = length_of(spelling);
    const bool term = accepted(k, in_term);
    if (length < (term ? 2 : 1) || length > spelling_capacity) return false;
    if (spelling[0] == 'x' || (term && holds_x(spelling))) return false;
    for (const char* c = spelling; *c != '\0'; ++c) {
      if (*c < 'a' || *c > 'z') return false;
    }
    for (int j = 0; j < k; ++j) {
      if (!before_alphabetically(spelling, function_spellings[j].spelling) &&
          !before_alphabetically(function_spellings[j].spelling, spelling)) {
        return false;
      }
    }
  }
  return true;
}

// True when no spelling of the term reading is begun by one in an earlier row of it (which
// would hide it).
constexpr bool longer_term_spellings_first() {
  for (int later = 0; later < function_spelling_rows; ++later) {
    for (int earlier = 0; earlier < later; ++earlier) {
      if (accepted(later, in_term) && accepted(earlier, in_term) &&
          starts_with(function_spellings[later].spelling, function_spellings[earlier].spelling)) {
        return false;
      }
    }
  }
  return true;
}

// How many rows a reading in `readings` accepts that write a word.
constexpr int count_names(unsigned char readings) {
  int count = 0;
  for (int row = 0; row < function_spelling_rows; ++row) {
    count += accepted(row, readings) && function_spellings[row].word != Word::none;
  }
  return count;
}

// The spellings of the rows count_names counts, in alphabetical order.
template <int count>
constexpr std::array<const char*, count> names_in_order(unsigned char readings) {
  std::array<const char*, count> names{};
  int found = 0;
  for (int row = 0; row < function_spelling_rows; ++row) {
    if (!accepted(row, readings) || function_spellings[row].word == Word::none) continue;
    const char* spelling = function_spellings[row].spelling;
    int at = found++;  // insertion sort: shift the later names up one place
    for (; at > 0 && before_alphabetically(spelling, names[at - 1]); --at)
      names[at] = names[at - 1];
    names[at] = spelling;
  }
  return names;
}

}  // namespace function_table

static_assert(function_table::spellings_well_formed(),
              "spellings are lower-case letters, short and listed once; the term reading's of two "
              "letters or more other than x; none begins with x");
static_assert(function_table::longer_term_spellings_first(),
              "a term spelling that begins another must come after it in function_spellings");
static_assert(
    [] {
      for (const FunctionSpelling& row : function_spellings) {
        if (row.argument_follows && (row.readings & in_term) == 0) return false;
      }
      return true;
    }(),
    "only a spelling of the term reading has its argument follow it");

// How many spellings name a function in the term reading, and every word of the natural one.
inline constexpr int function_spelling_count = function_table::count_names(in_term);
inline constexpr int natural_spelling_count = function_table::count_names(in_natural);

// Those spellings, each reading's in alphabetical order.
inline constexpr std::array<const char*, function_spelling_count> function_spelling_names =
    function_table::names_in_order<function_spelling_count>(in_term);
inline constexpr std::array<const char*, natural_spelling_count> natural_spelling_names =
    function_table::names_in_order<natural_spelling_count>(in_natural);

// The rows of function_spellings by the first letter of their spelling ('a' to 'z'), in the
// table's order, with each spelling's length: a reading looks a name up among the few rows of
// its first letter only, those it accepts.
constexpr int letter_count = 26;
constexpr int max_spellings_per_letter = 40;
struct SpellingIndex {
  unsigned char count[letter_count];                             // rows of the letter
  unsigned char rows[letter_count][max_spellings_per_letter];    // those rows, in order
  unsigned char length[letter_count][max_spellings_per_letter];  // each one's spelling's length
};

static_assert(
    [] {
      int per_letter[letter_count] = {};
      for (const FunctionSpelling& row : function_spellings) {
        if (++per_letter[row.spelling[0] - 'a'] > max_spellings_per_letter) return false;
      }
      return true;
    }(),
    "max_spellings_per_letter holds every letter's spellings");

inline constexpr SpellingIndex spelling_index = [] {
  SpellingIndex index{};
  for (int row = 0; row < function_spelling_rows; ++row) {
    const char* spelling = function_spellings[row].spelling;
    const int letter = spelling[0] - 'a';
    const int k = index.count[letter]++;
    index.rows[letter][k] = static_cast<unsigned char>(row);
    index.length[letter][k] = static_cast<unsigned char>(function_table::length_of(spelling));
  }
  return index;
}();

// The index of `c` in spelling_index when it is a lower-case letter; -1 otherwise.
constexpr int index_letter(char c) {
  return is_lower_letter(c) ? c - 'a' : -1;
}

// Which bytes take which part in a function name of the term reading.
struct FunctionLetterClasses {
  bool begins_name[256];      // the first letter of some spelling: 'a', 'c', 's', 't'
  bool in_name[256];          // a letter of some spelling: "aceginorst"
  bool begins_argument[256];  // the first letter of a spelling the argument follows
};

// The letter classes of the term reading's spellings.
inline constexpr FunctionLetterClasses function_letter_classes = [] {
  FunctionLetterClasses classes{};
  for (const FunctionSpelling& row : function_spellings) {
    if ((row.readings & in_term) == 0) continue;
    const auto first = static_cast<unsigned char>(row.spelling[0]);
    classes.begins_name[first] = true;
    if (row.argument_follows) classes.begins_argument[first] = true;
    for (const char* c = row.spelling; *c != '\0'; ++c) {
      classes.in_name[static_cast<unsigned char>(*c)] = true;
    }
  }
  return classes;
}();

// The rows of the natural reading whose spelling holds an 'x' ("exp"), which its tokens read
// whole where the letters stand (an 'x' elsewhere is times or the unknown), and how many.
constexpr int x_spelling_capacity = 4;
struct XSpellings {
  int count;
  unsigned char rows[x_spelling_capacity];
};

static_assert(
    [] {
      int count = 0;
      for (int row = 0; row < function_spelling_rows; ++row) {
        count += function_table::holds_x(function_spellings[row].spelling);
      }
      return count <= x_spelling_capacity;
    }(),
    "x_spelling_capacity holds every spelling with an x");

inline constexpr XSpellings x_spellings = [] {
  XSpellings found{};
  for (int row = 0; row < function_spelling_rows; ++row) {
    if (accepted(row, in_natural) && function_table::holds_x(function_spellings[row].spelling)) {
      found.rows[found.count++] = static_cast<unsigned char>(row);
    }
  }
  return found;
}();
