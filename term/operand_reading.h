// Reading operand lists: the numbers of a small "+ - * /" expression, each with the operator
// or mark that ends it, from a term's text into the line's number store, with notes about
// what was read otherwise than written. Nothing is converted here: a number is kept as the
// decimal text a conversion reads, or as pi.
#pragma once

#include "term/term_reading.h"
#include "term/text_origins.h"

constexpr int operand_capacity = 100;  // most operands one list holds

// What the text of an operand list is, for the notes about it.
enum class OperandRole { amplitude, argument };

// Where an operand text stands: the origins of the text it is part of, the index there of its
// first byte, and what it is.
struct OperandPlace {
  const TextOrigins* origins;
  int first;
  OperandRole role;
};

// How the `length` bytes of number text at `number`, which has room for three bytes more,
// read: pi when they begin with "PI", else the decimal prefix of the text once ".0" is
// appended. Sets `read.form`; returns how many of the `length` bytes were read (0: none) and
// sets `prefix` to the bytes of the decimal prefix (0 when nothing converts).
int read_number_text(char* number, int length, NumberRead& read, int& prefix);

// Appends `read` to `store`, with its decimal text, the `prefix` bytes at `number` (which may
// already stand where the store keeps it) less any leading blanks; false, storing nothing,
// when the store is full.
bool store_number(NumberStore& store, NumberRead read, const char* number, int prefix);

// Reads the numbers of `text` and the operators "+ - * /" or other mark that end them ('='
// closes a term's text; other characters are skipped, text after the last ending mark is not
// read) into `store`, and returns them as one list; notes what was read otherwise than
// written.
OperandsRead read_operands(const char* text, const OperandPlace& place, NumberStore& store,
                           ReadingNotes* notes);
