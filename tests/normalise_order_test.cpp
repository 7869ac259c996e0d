// Normalisation order: which rewrites see the text before or after another. Powers of ten
// and "pi" are matched with parentheses still in place, the radians test for "PI" comes
// before parentheses go, and neighbouring rewrites do not disturb one another.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "term/normalise_term.h"
#include "term/term_text.h"
#include "test_support.h"

namespace {

TEST(NormaliseOrder, RewritesSeeTheTextAsTheEarlierOnesLeftIt) {
  const NormaliseCase cases[] = {
      {"5x(10^3)", "5*10^3", false},         // "*(10^" is no power of ten; the parentheses go after
      {"2(x10^1)cos60", "2E1cos60", false},  // inside parentheses it is one
      {"*1(0)^", "*10^", false},
      {"(*)10^", "*10^", false},
      {"p(i)", "pi", false},  // "pi" is not found across a parenthesis
      {"P(I)", "PI", false},  // and "PI" is looked for before they go
      {"xe", "*E", false},    // 'x' after 'e' is no 'n' or 'c', before or after
      {"ex,", "E*.", false},
      {"ece,en", "ecE.en", false},
      {"pie", "PIE", true},
      {"epi", "EPI", true},
      {"x10^x10^X10^", "EEE", false},
      {"X10^(x10^)", "EE", false},
      {"radpi", "PI", true},
      {"rad(x10^1)", "E1", true},
  };
  expect_normalised(cases, std::size(cases));
}

// The longest term a line holds, every byte rewritten: the copy ends with its terminator and
// writes nothing past the room the reading gives it (its length and two bytes).
TEST(NormaliseOrder, LongestTermStaysInItsRoom) {
  const std::string typed(line_capacity - 1, 'x');
  char term[line_capacity + 2];
  for (char& c : term) c = '#';
  TermShape shape;
  bool radians = false;
  TextOrigins origins;
  start_origins(origins, 0);
  normalise_term_text(typed.c_str(), line_capacity - 1, term, shape, radians, origins, nullptr);
  EXPECT_EQ(std::string(term), std::string(line_capacity - 1, '*'));
  EXPECT_EQ(shape.length, line_capacity - 1);
  EXPECT_EQ(term[line_capacity], '#');
  EXPECT_FALSE(radians);
}

}  // namespace
