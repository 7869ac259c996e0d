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

// A term that fills the buffer: every rewrite stops at the terminator the buffer ends with.
TEST(NormaliseOrder, FullBufferStaysTerminated) {
  char term[term_capacity];
  for (char& c : term) c = 'x';
  term[term_capacity - 1] = '\0';
  bool radians = false;
  TextOrigins origins;
  start_origins(origins, 0);
  normalise_term(term, radians, origins, nullptr);
  EXPECT_EQ(std::string(term), std::string(term_capacity - 1, '*'));
  EXPECT_FALSE(radians);
}

// copy_text keeps at most capacity - 1 bytes and a terminator, and writes nothing beyond.
TEST(CopyText, CutsToTheCapacity) {
  struct CopyCase {
    const char* source;
    int capacity;
    const char* copied;
  };
  const CopyCase cases[] = {
      {"abcd", 5, "abcd"}, {"abcde", 5, "abcd"}, {"abcdef", 5, "abcd"}, {"abc", 5, "abc"},
      {"", 5, ""},         {"abc", 1, ""},       {"ab", 2, "a"},        {"ab", 3, "ab"},
  };
  for (const CopyCase& c : cases) {
    char target[8];
    std::memset(target, '#', sizeof target);
    copy_text(target, c.capacity, c.source);
    EXPECT_EQ(std::string(target), c.copied) << c.source << " " << c.capacity;
    for (int k = c.capacity; k < 8; ++k) EXPECT_EQ(target[k], '#') << c.source << " " << k;
  }
  char untouched = '#';
  copy_text(&untouched, 0, "abc");  // no room at all: nothing is written
  EXPECT_EQ(untouched, '#');
}

}  // namespace
