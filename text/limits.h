/* The limits of one line, each written once: how many bytes of a line are read, and how much
   its reading, its program and their runs hold. Every buffer sized by one of them is named
   after it where it is declared. Plain C, so that the exact module's C files read the
   program form's limits from here too; the rule of a line's length follows, for C++. */
#ifndef TRIGCALC_LIMITS_H
#define TRIGCALC_LIMITS_H

enum LineLimit {
  /* Bytes of a line buffer: 99 bytes and the terminator. A line is read from its first 99
     bytes at most, up to a zero byte; a longer one is noted as cut. */
  line_capacity = 100,
  /* Notes kept per line; later ones are only counted. */
  reading_note_capacity = 32,
  /* Steps of a computation in doubles that made a value no finite number, kept per line;
     later ones are only counted. */
  value_break_capacity = 32,
  /* Numbers one line's reading holds: each ends at a byte of its term's text or at one of the
     two closing marks a term adds to its amplitude and argument; a bracket's term costs at
     least its '[', so a 99-byte line holds at most 99 + 50 numbers. */
  number_read_capacity = 160,
  /* Brackets one line holds: a 99-byte line of "[]" and a last "[". */
  bracket_read_capacity = 50,
  /* Operands one list of a term holds: one a byte at most. */
  operand_capacity = 100,
  /* Groups, signs, powers and function arguments within one another that a line read as
     ordinary arithmetic may nest: a 99-byte line holds at most 49 groups. */
  natural_nesting_capacity = 50,
  /* Steps of one line's program: each number pushes once and each operator and function is
     one step; a 99-byte line needs far fewer than this. */
  program_step_capacity = 512,
  /* Values on a program's stack at once: a bracket's sum and run, under a term's amplitude
     and argument with their own sum and run; or, in the natural reading, one for each pending
     operand of a 99-byte line's nested groups. */
  program_stack_capacity = 64,
  /* Expressions one line in the unknown may hold, separated by ';' (curves drawn together). */
  program_part_capacity = 8
};

#ifdef __cplusplus

#include <cstring>

/* The bytes of a line of `length` bytes that are read and reported on: line_capacity - 1 at
   most. */
constexpr int shown_length(int length) {
  return length < line_capacity - 1 ? length : line_capacity - 1;
}

/* The bytes of the `shown` bytes at `line` that are read: those before its first zero byte. */
inline int kept_length(const char* line, int shown) {
  const void* zero = std::memchr(line, '\0', static_cast<std::size_t>(shown));
  return zero == nullptr ? shown : static_cast<int>(static_cast<const char*>(zero) - line);
}

#endif

#endif
