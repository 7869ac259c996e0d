// Operand lists that were never cleared in full: the entry after the last operand must
// still read as 0 with no operator, whatever the memory held before, because a trailing
// '*' or '/' folds with it and the sum adds it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "term/operand_list.h"

namespace {

// A list whose every byte is garbage, then emptied the way read_operands starts one.
OperandList dirty_empty_list() {
  OperandList list;
  std::memset(&list, 0x5a, sizeof list);
  list.count = 0;
  list.values[0] = 0.0;
  list.operators[0] = '\0';
  return list;
}

struct TrailingCase {
  char last_operator;  // the operator after the operand 6
  double sum;          // 6 combined with the 0 after it
};

TEST(OperandSentinel, EntryAfterTheLastReadsAsZero) {
  const TrailingCase cases[] = {{'*', 0.0}, {'+', 6.0}, {'-', 6.0}, {'=', 6.0}};
  for (const TrailingCase& c : cases) {
    OperandList list = dirty_empty_list();
    append_operand(list, 2.0, '+');
    append_operand(list, 6.0, c.last_operator);
    fold_products(list);
    EXPECT_EQ(sum_operands(list), 2.0 + c.sum) << c.last_operator;
  }
  OperandList list = dirty_empty_list();
  append_operand(list, 6.0, '/');
  fold_products(list);
  EXPECT_TRUE(std::isinf(static_cast<double>(sum_operands(list))));
}

TEST(OperandSentinel, FullListKeepsItsSpareEntryZero) {
  OperandList list = dirty_empty_list();
  for (int k = 0; k < operand_capacity + 5; ++k) append_operand(list, 1.0, '*');
  EXPECT_EQ(list.count, operand_capacity);
  EXPECT_EQ(list.values[operand_capacity], 0.0);
  EXPECT_EQ(list.operators[operand_capacity], '\0');
  fold_products(list);
  EXPECT_EQ(sum_operands(list), 0.0L);  // the hundredth '*' meets the spare 0
}

// Fills a stretch of stack with garbage, so that a list read next is likely to lie on it.
__attribute__((noinline)) void dirty_the_stack() {
  volatile unsigned char garbage[8192];
  for (unsigned char& byte : const_cast<unsigned char(&)[8192]>(garbage)) byte = 0x5a;
}

struct ReduceCase {
  const char* text;
  double value;
};

TEST(OperandSentinel, ReadListsIgnoreWhatTheStackHeld) {
  const ReduceCase cases[] = {
      {"3*", 0.0}, {"3+", 3.0}, {"1+2*", 1.0}, {"4/2*", 0.0}, {"5-", 5.0}, {"2*3*4*", 0.0},
  };
  for (const ReduceCase& c : cases) {
    dirty_the_stack();
    EXPECT_EQ(reduce_operands(c.text, 9.0L), c.value) << c.text;
  }
}

}  // namespace
