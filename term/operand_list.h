// Operand lists computed in doubles: the numbers of a list as read converted, products and
// quotients folded first, then sums and differences, left to right.
#pragma once

#include "term/operand_reading.h"
#include "term/term_reading.h"
#include "term/value_breaks.h"

struct OperandList {
  double values[operand_capacity];   // operands in reading order; only the first `count` count
  char operators[operand_capacity];  // operators[k] stands between values[k] and values[k+1]
  int count;                         // operands held, 0 to operand_capacity
};

// The value of one number as read: its decimal text converted to the nearest double, or pi.
double number_value(const NumberStore& store, const NumberRead& number);

// Folds each run of '*' and '/' into its first operand, left to right, then adds and
// subtracts the folded operands from left to right. An operator after the last operand
// meets 0; a code other than '+' and '-' drops what follows it. An empty list gives 0.
double reduce_list(const OperandList& list);

// The value of the list `operands` of `store`, reduced as reduce_list does; `absent` when the
// list is empty (there was no text to read). Records in `breaks` (null: no record) each number
// too large for a double and each '/' whose divisor is 0.
double operands_value(const NumberStore& store, OperandsRead operands, double absent,
                      ValueBreaks* breaks = nullptr);
