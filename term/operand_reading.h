// Reading operand lists: the numbers of a small "+ - * /" expression, each with the operator
// or mark that ends it, from a term's text into the line's number store, with notes about
// what was read otherwise than written. Nothing is converted here: a number is kept as the
// decimal text a conversion reads, or as pi.
#pragma once

#include <cstring>

#include "term/term_reading.h"
#include "term/text_origins.h"

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
// sets `prefix` to the bytes of the decimal prefix (0 when nothing converts). `digits_only`:
// the caller knows the bytes are digits, at least one, and the prefix needs no search.
int read_number_text(char* number, int length, NumberRead& read, int& prefix,
                     bool digits_only = false);

// Appends `read` to `store`, with its decimal text, the `prefix` bytes at `number` (which may
// already stand where the store keeps it) less any leading blanks; false, storing nothing,
// when the store is full. Inline: it runs for every number read.
inline bool store_number(NumberStore& store, NumberRead read, const char* number, int prefix) {
  int start = 0;
  while (start < prefix && is_blank(number[start])) ++start;
  const int bytes = prefix - start;
  if (store.count == number_read_capacity || store.texts_used + bytes + 1 > number_texts_capacity) {
    return false;
  }
  read.text = static_cast<short>(store.texts_used);
  read.text_length = static_cast<unsigned char>(bytes);
  char* place = store.texts + store.texts_used;
  if (number + start != place) std::memmove(place, number + start, static_cast<std::size_t>(bytes));
  store.texts[store.texts_used + bytes] = '\0';
  store.texts_used += bytes + 1;
  store.numbers[store.count++] = read;
  return true;
}

// Reads the numbers of `text` and the operators "+ - * /" or other mark that end them ('='
// closes a term's text; other characters are skipped, text after the last ending mark is not
// read) into `store`, and returns them as one list; notes what was read otherwise than
// written.
OperandsRead read_operands(const char* text, const OperandPlace& place, NumberStore& store,
                           ReadingNotes* notes);
