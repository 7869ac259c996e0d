// What the reading of a line found read otherwise than written: a small record of notes, each
// with its kind, the columns of the line it is about and, where the kind needs one, the name
// the letters were read as. The record holds what a report needs and nothing of the reading's
// own working state.
#pragma once

#include "term/function_names.h"
#include "text/limits.h"

enum class NoteKind : unsigned char {
  skipped,                   // characters that fit nowhere, skipped (symbols)
  skipped_letters,           // letters that name nothing, skipped
  joined_number,             // blanks skipped between two parts of one number ("sin 3 0")
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
  line_cut,                  // more than the line's capacity: the rest not read
  capital_name,              // a function name written with capitals; name: in lower case
  control_blank,             // a line break, vertical tab or form feed read as a blank
  misplaced_degree_sign,     // a degree sign anywhere but after the argument, skipped
  unclosed_bracket,          // a '[' without its ']': the rest of the line read as its text
  number_too_large,          // a number too large for a double, read as infinity
  division_by_zero,          // a division by 0: the value is no finite number
  outside_domain,            // an inverse function's argument outside -1 to 1: no number
  not_finite,                // the value is no finite number, for none of the reasons above
  rad_joined_name,           // "rad" not at the start joined a known name; name: that name
  name_split,                // a name spelt over several words ("arc sen"); name: as read
  name_split_without_argument,  // the same, but the argument does not follow it: read as 0
  argument_without_number,      // an argument with no number in it ("sinπ"), read as 0
  zero_byte_ends_line,          // a zero byte in the line: what follows it is not read
  bracket_number_unread,        // a bracket with digits of which no number could be read
  bracket_dropped,              // a bracket no operator joins to the others: left out
  operator_not_after_bracket,   // an operator that does not stand right after a ']': skipped
  second_name_joining,          // a second name between two parts of one number, which it joins
  bracket_pi_after_digit,       // "[2pi]": pi is read only at the start of a number
  blank_before_sign,            // a blank between an operator and a "-", which then subtracts
  pole_in_degrees,  // a tangent, secant, cotangent or cosecant at its pole in degrees; the
                    // value printed is the function's at the angle's double; function: which
  // What has no value, in the exact mode and in the natural reading's doubles alike.
  quotient_without_value,  // a division by 0 (the operator's column)
  function_without_value,  // a function where it has no value; function: which
  root_without_value,      // the square root of a number below 0
  power_without_value,     // 0 to a power below 0, or a number below 0 to one that is no integer
  // What the natural reading could not read: the line's value is then not a number.
  natural_empty,             // nothing to compute
  natural_expected_operand,  // a number, a function or a group was expected here
  natural_missing_argument,  // a function name with nothing after it; function: which
  natural_missing_operator,  // two numbers side by side ("sen 30 30"): an operator between?
  natural_unclosed,          // a '(' or '[' without its ')' or ']' (the opening's column)
  natural_unopened,          // a ')' or ']' that closes nothing
  natural_mismatched,        // a ')' closing a '[', or a ']' closing a '('
  natural_unknown_word,      // letters that name nothing the natural reading knows
  natural_unexpected,        // a character that has no place here
  natural_too_deep,          // groups nested deeper than the reading holds
  // What the natural reading read one way of two: the value is computed all the same.
  natural_division_of_product,  // "1/2π": read as 1/(2π), the side-by-side factors one
  natural_power_in_argument,    // "sen30^2": read as sen(30^2), not (sen 30)^2
  // The exact mode's notes: what could not be computed exactly.
  exact_too_large,        // a number (or angle) too large for exact evaluation
  exact_undecided,        // a zero or tie not decided; digits: the digits to which it was known
  exact_beyond_limits,    // the line's program outgrew the room of its steps or its stack
  exact_out_of_memory,    // the computation needed more memory than it may have
  exact_out_of_time,      // the computation needed more processor time than it may have
  exact_interrupted,      // the computation was stopped from outside (a signal)
  exact_stalled,          // its process took no processor time for seconds (stopped); digits: them
  exact_ended_by_signal,  // its process ended by a signal (a crash, a kill); digits: which
  exact_no_child,         // no process could be started for it
  // What the term reading reads otherwise than it seems to be written.
  ungrouped_parentheses,  // an operand list going on after parentheses that seem to group part
                          // of it ("sen(30)*2" is sen 60); name: the function's, for the argument
  // Why the natural reading's value in doubles is 0 though no number it is made of is.
  number_too_small,  // a number too small for a double, read as 0
  underflow,         // a product, quotient or power below the smallest double, made 0
  // The unknown of the natural reading.
  natural_x_as_times,        // an "x" read as times where it could also be the unknown
  natural_second_unknown,    // a second name for the unknown ("x" and "θ" in one line)
  natural_unknown_in_bound,  // the unknown in a bound of its own interval
  natural_needs_unknown,     // a ';' or an interval in a line without the unknown
  // Why a line in the unknown was not answered:
  unsolved_outside_angle,       // the unknown outside the angles, or not only linearly
  unsolved_angle_not_linear,    // an angle not a x + b with rational a
  unsolved_not_algebraic,       // a number that is not algebraic, or an angle no rational of pi
  unsolved_power,               // a power that is no small integer, or a root of the unknown
  unsolved_inverse_of_unknown,  // an inverse function of the unknown
  unsolved_too_large,           // past the solver's bounds (a degree, a field)
  unsolved_check_failed,        // a solution that did not satisfy the line when put back
  unsolved_bound,               // a bound of the interval that is no exact angle
  equation_without_module,      // a line in the unknown, and no exact mode to answer it
  natural_not_a_value,          // a line in the unknown or an equation, where a number was asked
  // Why a picture (--graph, --table) was not drawn, or drawn with less:
  picture_nothing_to_draw,    // a line without the unknown that is no function of an angle
  picture_interval_empty,     // an interval without width, or with a bound that is no number
  picture_interval_too_wide,  // an interval wider than the pictures draw, or too far out
  picture_no_value,           // an expression without a value anywhere in the interval
  picture_detail_cut,         // a curve drawn with fewer points than its detail asked for
  // The natural reading's lines as a whole, and its last answer:
  natural_too_long,          // a line of more than 99 bytes: not read, no value
  natural_no_answer,         // "ans" or "resp" with no line before it that had a value
  natural_answer_as_digits,  // the line before too long to stand for "ans": its 17 digits
  // Not a kind: how many there are, for the tables by kind (a new kind comes before it).
  kind_count
};

constexpr int note_name_capacity = 8;  // the longest function name and its terminator

struct ReadingNote {
  NoteKind kind;
  unsigned char column;           // 0-based byte offset in the line where it begins
  unsigned char length;           // bytes of the line it is about; 0 for a place between bytes
  TermFunction function;          // function_without_value, pole_in_degrees,
                                  // natural_missing_argument: the function; else none
  int digits;                     // exact_undecided: digits after the point it was known to;
                                  // exact_stalled: seconds; exact_ended_by_signal: the
                                  // signal
  char name[note_name_capacity];  // name_read_as: the name the letters were read as; else ""
};

// The notes of one line.
struct ReadingNotes {
  int count;    // notes kept in `notes`
  int dropped;  // notes that found no room
  ReadingNote notes[reading_note_capacity];
};

// An empty record.
void clear_notes(ReadingNotes& notes);

// Records a note about `length` bytes of the line from `column`, with the name the letters
// were read as when the kind has one; nothing when `notes` is null.
void add_note(ReadingNotes* notes, NoteKind kind, int column, int length,
              const char* name = nullptr);

// Records `note` as it is, other fields and all; nothing when `notes` is null.
void add_whole_note(ReadingNotes* notes, const ReadingNote& note);

// Makes the notes of the `length` bytes of `line` ready to report: a note that says nothing
// another does not is dropped (skipped text inside a note that explains it, anything inside
// a term that names no function), the rest are put in column order, and skipped bytes that
// stand side by side become one note, about letters when they are all letters.
void finish_notes(ReadingNotes& notes, const char* line, int length);
