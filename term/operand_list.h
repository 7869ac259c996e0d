// Operand lists: the numbers of a small "+ - * /" expression with the operator after
// each, read from text and reduced to one value, products and quotients first.
#pragma once

constexpr int operand_capacity = 100;      // most operands one list holds
constexpr int number_text_capacity = 104;  // one number's text: 99 bytes, ".0", terminator, spare

struct OperandList {
  double
      values[operand_capacity + 1];  // operands in reading order; 0 from `count` on (one spare 0)
  char operators[operand_capacity + 1];  // operators[k] stands between values[k] and values[k+1]
  int count;                             // operands held, 0 to operand_capacity
};

// Sets every value, operator code and the count to zero.
void clear_operands(OperandList& list);

// Appends `value` followed by `op`; ignored once the list holds operand_capacity operands.
void append_operand(OperandList& list, double value, char op);

// Reads numbers and the operators "+ - * / =" that end them; other characters are skipped.
OperandList read_operands(const char* text);

// Value of one collected number text: its decimal prefix, or pi when it begins with "PI".
double number_text_value(const char* text);

// Folds every run of '*' and '/' into its first operand, leaving zeros joined by '+'.
void fold_products(OperandList& list);

// Adds and subtracts the operands from left to right; other operator codes add nothing.
long double sum_operands(const OperandList& list);

// read_operands, then `default_value` for an empty list, else fold_products and sum_operands.
long double reduce_operands(const char* text, long double default_value);
