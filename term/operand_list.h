// Operand lists: the numbers of a small "+ - * /" expression with the operator after
// each, read from text and reduced to one value, products and quotients first.
#pragma once

#include "term/reading_notes.h"

constexpr int operand_capacity = 100;      // most operands one list holds
constexpr int number_text_capacity = 104;  // one number's text: 99 bytes, ".0", terminator, spare

struct OperandList {
  double values[operand_capacity];   // operands in reading order; only the first `count` count
  char operators[operand_capacity];  // operators[k] stands between values[k] and values[k+1]
  int count;                         // operands held, 0 to operand_capacity
};

// What the text of an operand list is, for the notes about it.
enum class OperandRole { amplitude, argument };

// Value of the `length` bytes of number text at `number`, which has room for three bytes
// more: its decimal prefix once ".0" is appended, or pi when it begins with "PI"; `used` is
// set to how many of the `length` bytes were read (0 when none).
double number_text_value(char* number, int length, int& used);

// Folds each run of '*' and '/' into its first operand, left to right, then adds and
// subtracts the folded operands from left to right. An operator after the last operand
// meets 0; a code other than '+' and '-' drops what follows it. An empty list gives 0.
double reduce_list(const OperandList& list);

// Reads the numbers of `text` and the operators "+ - * /" or other mark that end them ('='
// closes a term's text; other characters are skipped, text after the last ending mark is not
// read), then reduces them as reduce_list does. With `notes`, whose origins hold the text's
// bytes from index `first` on, notes what was read otherwise than written; `role` says what
// an operand missing altogether was.
double reduce_operands(const char* text, OperandRole role, ReadingNotes* notes, int first);
