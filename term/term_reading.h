// What a term says, as read from its text: the plain description that the computations (in
// doubles, or exactly) work from. The reading does all the text work (normalisation, the
// amplitude, the name, the argument, each number's decimal text); a computation only
// converts the numbers, folds the operand lists, takes the unit step and the function.
#pragma once

#include "term/function_names.h"
#include "term/reading_notes.h"
#include "term/term_text.h"
#include "term/text_origins.h"

// Bytes of one number's text as collected: 101 bytes (99 for the longest line and two to
// spare), the ".0" that ends it for the conversion, and a terminator.
constexpr int number_text_capacity = 104;
// Bytes of the number texts of one line: at most 99 bytes of number and, per number, the
// ".0" a decimal text may end with and a terminator; and room to collect one more number.
constexpr int number_texts_capacity =
    line_capacity + 3 * number_read_capacity + number_text_capacity;

// What a number is: a decimal (its text) or pi.
enum class NumberForm : unsigned char { decimal, pi };

// One number of an operand list as read, with the operator or mark that ends it.
struct NumberRead {
  NumberForm form;
  char op;                    // '+', '-', '*', '/', or another mark ('=' closes a list)
  short text;                 // decimal: offset in NumberStore::texts of its decimal text
  unsigned char text_length;  // decimal: the bytes of that text, before its terminator
  unsigned char column;       // first column of the line it came from
  unsigned char length;       // columns of the line it stands for; 0 when it had no bytes
  unsigned char op_column;    // column of `op` in the line (a mark the reading added: the end)
};

// The numbers of one line's reading and their decimal texts. A decimal text is the whole
// prefix a decimal conversion reads: an optional sign, digits with an optional point, an
// optional exponent ("E" or "e", an optional sign, digits); it always holds a digit, except
// the empty text, which reads as +0.
struct NumberStore {
  NumberRead numbers[number_read_capacity];
  int count;
  char texts[number_texts_capacity];
  int texts_used;
};

// A run of consecutive numbers of a NumberStore: an operand list, reduced products and
// quotients first, then sums and differences, left to right. `count` 0: there was no text
// to read, and the list has the default value its place gives it.
struct OperandsRead {
  short first;
  short count;
};

// One term as read.
struct TermReading {
  bool radians;               // the angle (or an inverse function's value) is in radians
  TermFunction function;      // none: the term's value is 0
  OperandsRead amplitude;     // count 0: the amplitude is 1
  OperandsRead argument;      // count 0: the argument is 0
  unsigned char column;       // the term's first column in the line
  unsigned char length;       // its columns
  unsigned char name_column;  // where the function's name was read; its columns:
  unsigned char name_length;  // 0 when the term has no function
};

// The text of a decimal number read into `store`, zero-terminated.
inline const char* number_text(const NumberStore& store, const NumberRead& number) {
  return store.texts + number.text;
}

// Reads the term in the `length` bytes at `text` (at most line_capacity - 1 of them are
// read), which begin at column `column` of their line, into `term`, its numbers into `store`;
// notes what was read otherwise than written. Never fails: text without a known function
// name reads as a term without a function.
void read_term(const char* text, int length, int column, TermReading& term, NumberStore& store,
               ReadingNotes* notes);

// Notes the first word of `text` that names a function in capitals ("SIN", "Cos"): names are
// written in lower case, and that is what the user most likely meant. It says why the text
// reads as 0, so the notes taken since `first_note` are dropped: they would only say it
// again. True when there was one.
bool note_capital_name(const char* text, const TextOrigins& origins, int first_note,
                       ReadingNotes* notes);
