// What the evaluator read otherwise than it was written: a small record of notes, each with
// its kind and the columns of the line it is about. The command line passes a record in and
// reports it; the dialogue passes none and the evaluation then records nothing.
#pragma once

#include "term/term_text.h"

enum class NoteKind : unsigned char {
  skipped,                   // characters that fit nowhere, skipped (letters, symbols)
  number_tail,               // the end of a number that was not read ("1.2.3": ".3")
  number_unread,             // a number of which nothing could be read, read as 0 ("--30")
  empty_after,               // nothing after an operator: the operand read as 0
  empty_before,              // nothing before an operator: the operand read as 0
  amplitude_without_number,  // an amplitude with no number in it (" sin30"), read as 0
  empty_argument,            // nothing after the function name: the argument read as 0
  plus_after_exponent,       // "1E+2": only a minus signs an exponent, the plus adds
  cut_after_equals,          // everything after a '=' cut
  second_name,               // a function name after the first, its letters skipped
  name_read_as,              // letters read as a shorter or scattered name ("sinh" as "sin")
  unknown_name,              // letters that begin no known function name
  no_name,                   // no function name at all
  pi_in_amplitude,           // "pi" before the name: the whole term in radians
  pi_after_digit,            // "2pi": pi is read only at the start of a number
  rad_not_at_start,          // "rad" counts only as the term's first letters
  bracket_not_number,        // a bracket with neither a number nor a function, read as 0
  bracket_without_operator,  // no operator right after the ']' before: values and operators shift
  line_cut,                  // more than line_capacity - 1 bytes: the rest not read
  // The exact mode's notes: what has no exact value, or could not be computed exactly.
  exact_division_by_zero,  // a division by 0 (the operator's column)
  exact_no_value,          // a function where it has no value; detail: the TermFunction
  exact_too_large,         // a number (or angle) too large for exact evaluation
  exact_undecided,         // a zero or tie not decided; detail: the bound, in 50s of digits
};

struct ReadingNote {
  NoteKind kind;
  unsigned char column;  // 0-based byte offset in the line where it begins
  unsigned char length;  // bytes of the line it is about; 0 for a place between bytes
  unsigned char detail;  // name_read_as: the row of function_spellings the letters were read as
};

constexpr int reading_note_capacity = 32;  // notes kept per line; later ones are only counted
constexpr int origin_capacity = term_capacity + 2;  // a term, its closing '=' and terminator

// The notes of one line, and the scratch the evaluation keeps them with.
struct ReadingNotes {
  int count;    // notes kept in `notes`
  int dropped;  // notes that found no room
  ReadingNote notes[reading_note_capacity];
  int base;  // column in the line of the first byte of the text being read
  // The column each byte of the text being read (a term or a number) came from, kept
  // through the rewrites that delete and replace bytes; the terminator's is the text's end.
  unsigned char origin[origin_capacity];
  // How many bytes of the line each byte stands for: 1, or 4 for the 'E' that "x10^" became.
  unsigned char span[origin_capacity];
};

// An empty record.
void clear_notes(ReadingNotes& notes);

// Records a note about `length` bytes of the line from `column`, with `detail` as the kind
// needs it; nothing when `notes` is null.
void add_note(ReadingNotes* notes, NoteKind kind, int column, int length, int detail = 0);

// Starts the origins of a fresh text of `length` bytes at `notes->base`: byte k came from
// column base + k. Nothing when `notes` is null.
void start_origins(ReadingNotes* notes, int length);

// Moves the origin of the text's byte `from` to byte `to` (a rewrite moved the byte left),
// standing for `span` bytes of the line. Nothing when `notes` is null.
void move_origin(ReadingNotes* notes, int from, int to, int span);

// Records a note about the `count` bytes of the text at `first`, by their origins: one note
// per run of bytes that stood side by side in the line. Nothing when `notes` is null.
void note_text(ReadingNotes* notes, NoteKind kind, int first, int count);
