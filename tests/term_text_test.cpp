// The term's text helpers: copies cut to a buffer's capacity.
#include "term/term_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

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
