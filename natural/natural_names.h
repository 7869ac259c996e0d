// The one table of the words the natural reading knows: every spelling of a function the term
// reading knows, those students write besides (Portuguese and English, with and without the
// doubled consonants), the square root, pi and the radians mark. Matched in any case. The
// alphabetical list (for completion and for the names suggested for an unknown word) is
// derived from it at compile time.
#pragma once

#include <array>

#include "term/function_names.h"

// What a word names. The inverse secant, cosecant and cotangent are written with the
// functions the program form has: arccos(1/x), arcsin(1/x) and 90 degrees (or pi/2) minus
// arctg x, whose values lie from 0 to 180 degrees.
enum class NaturalWord {
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
  square_root,
  pi,
  radians
};

struct NaturalSpelling {
  const char* spelling;  // in lower case
  NaturalWord word;
};

inline constexpr NaturalSpelling natural_spellings[] = {
    {"sen", NaturalWord::sine},
    {"sin", NaturalWord::sine},
    {"seno", NaturalWord::sine},
    {"cos", NaturalWord::cosine},
    {"cosseno", NaturalWord::cosine},
    {"tg", NaturalWord::tangent},
    {"tan", NaturalWord::tangent},
    {"tang", NaturalWord::tangent},
    {"cotg", NaturalWord::cotangent},
    {"cotan", NaturalWord::cotangent},
    {"cot", NaturalWord::cotangent},
    {"cotang", NaturalWord::cotangent},
    {"sec", NaturalWord::secant},
    {"cosec", NaturalWord::cosecant},
    {"cossec", NaturalWord::cosecant},
    {"csc", NaturalWord::cosecant},
    {"arcsen", NaturalWord::arc_sine},
    {"arcsin", NaturalWord::arc_sine},
    {"asin", NaturalWord::arc_sine},
    {"arcseno", NaturalWord::arc_sine},
    {"arccos", NaturalWord::arc_cosine},
    {"arcos", NaturalWord::arc_cosine},
    {"acos", NaturalWord::arc_cosine},
    {"arccosseno", NaturalWord::arc_cosine},
    {"arctg", NaturalWord::arc_tangent},
    {"arctan", NaturalWord::arc_tangent},
    {"atan", NaturalWord::arc_tangent},
    {"atg", NaturalWord::arc_tangent},
    {"arctang", NaturalWord::arc_tangent},
    {"arcsec", NaturalWord::arc_secant},
    {"asec", NaturalWord::arc_secant},
    {"arccossec", NaturalWord::arc_cosecant},
    {"arccosec", NaturalWord::arc_cosecant},
    {"arccsc", NaturalWord::arc_cosecant},
    {"acsc", NaturalWord::arc_cosecant},
    {"arccotg", NaturalWord::arc_cotangent},
    {"arccot", NaturalWord::arc_cotangent},
    {"arccotan", NaturalWord::arc_cotangent},
    {"acot", NaturalWord::arc_cotangent},
    {"raiz", NaturalWord::square_root},
    {"sqrt", NaturalWord::square_root},
    {"pi", NaturalWord::pi},
    {"rad", NaturalWord::radians},
};

inline constexpr int natural_spelling_count =
    static_cast<int>(sizeof natural_spellings / sizeof natural_spellings[0]);

// Letters of the longest spelling.
inline constexpr int natural_spelling_capacity = 10;

namespace natural_table {

constexpr int length_of(const char* text) {
  int length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

// True when every spelling is lower case, fits natural_spelling_capacity, holds no 'x' (which
// is always times) and is listed once.
constexpr bool spellings_well_formed() {
  for (int k = 0; k < natural_spelling_count; ++k) {
    const char* spelling = natural_spellings[k].spelling;
    if (length_of(spelling) > natural_spelling_capacity) return false;
    for (const char* c = spelling; *c != '\0'; ++c) {
      if (*c < 'a' || *c > 'z' || *c == 'x') return false;
    }
    for (int j = 0; j < k; ++j) {
      const char* other = natural_spellings[j].spelling;
      int at = 0;
      while (spelling[at] != '\0' && spelling[at] == other[at]) ++at;
      if (spelling[at] == other[at]) return false;
    }
  }
  return true;
}

// True when `a` sorts before `b`, byte by byte.
constexpr bool before(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return static_cast<unsigned char>(*a) < static_cast<unsigned char>(*b);
}

}  // namespace natural_table

static_assert(natural_table::spellings_well_formed(),
              "natural spellings are lower-case letters other than x, short, and listed once");

// Every spelling, in alphabetical order.
inline constexpr std::array<const char*, natural_spelling_count> natural_spelling_names = [] {
  std::array<const char*, natural_spelling_count> names{};
  for (int count = 0; count < natural_spelling_count; ++count) {
    int at = count;  // insertion sort: shift the later names up one place
    for (; at > 0 && natural_table::before(natural_spellings[count].spelling, names[at - 1]);
         --at) {
      names[at] = names[at - 1];
    }
    names[at] = natural_spellings[count].spelling;
  }
  return names;
}();

// The function the term reading knows for a word that names a function (none for the
// inverse secant, cosecant and cotangent, the square root, pi and the radians mark).
constexpr TermFunction term_function_for(NaturalWord word) {
  switch (word) {
    case NaturalWord::sine:
      return TermFunction::sine;
    case NaturalWord::cosine:
      return TermFunction::cosine;
    case NaturalWord::tangent:
      return TermFunction::tangent;
    case NaturalWord::cotangent:
      return TermFunction::cotangent;
    case NaturalWord::secant:
      return TermFunction::secant;
    case NaturalWord::cosecant:
      return TermFunction::cosecant;
    case NaturalWord::arc_sine:
      return TermFunction::arc_sine;
    case NaturalWord::arc_cosine:
      return TermFunction::arc_cosine;
    case NaturalWord::arc_tangent:
      return TermFunction::arc_tangent;
    default:
      return TermFunction::none;
  }
}
