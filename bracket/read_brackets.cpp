#include <cstring>

#include "bracket/line_reading.h"
#include "term/function_names.h"
#include "term/normalise_term.h"
#include "term/operand_reading.h"

namespace {

// A bracket that holds a letter some function name begins with ('a', 'c', 's', 't'),
// anywhere, is a term; any other is a number.
bool holds_term_letters(const char* text, int length) {
  for (int k = 0; k < length; ++k) {
    if (function_letter_classes.begins_name[static_cast<unsigned char>(text[k])]) return true;
  }
  return false;
}

// True when the `length` bytes of number text have a digit or begin with pi: something a
// number could be read from.
bool holds_digit_or_pi(const char* number, int length) {
  if (starts_with(number, "PI")) return true;
  for (int k = 0; k < length; ++k) {
    if (is_digit(number[k])) return true;
  }
  return false;
}

// Index of the ']' that closes the bracket opened at `open`, or `length` when none does.
int bracket_close(const char* line, int length, int open) {
  int close = open + 1;
  while (close < length && line[close] != ']') ++close;
  return close;
}

// Notes what was not read of a numeric bracket's text, of which `used` bytes of `length` were
// read; `text_length` is the bracket's text as written, which begins at `column`, its '['
// right before.
void note_numeric_bracket(const char* number, int length, int used, int column, int text_length,
                          const TextOrigins& origins, ReadingNotes* notes) {
  if (used == length && length > 0) return;
  if (used == 0) {
    if (note_capital_name(number, origins, notes->count, notes)) return;
    const bool digits = holds_digit_or_pi(number, length);  // "[(2)]": a number, not at the start
    add_note(notes, digits ? NoteKind::bracket_number_unread : NoteKind::bracket_not_number,
             column - 1, text_length + 2);
  } else if (number[used] == 'P' && number[used + 1] == 'I') {
    note_text(notes, origins, NoteKind::bracket_pi_after_digit, used, 2);
    note_text(notes, origins, NoteKind::number_tail, used + 2, length - used - 2);
  } else {
    note_text(notes, origins, NoteKind::number_tail, used, length - used);
  }
}

// A bracket's number is its decimal prefix: what follows it is not read, and a bracket with
// none is no number at all. Its text lies within a line, so it fits `number` once normalised.
// Returns the number's index in `store`, -1 when it found no room.
int read_numeric_bracket(const char* text, int length, int column, NumberStore& store,
                         ReadingNotes* notes) {
  char number[number_text_capacity];
  TextOrigins origins;
  start_origins(origins, column);
  const int normalised = normalise_number(text, length, number, origins);
  NumberRead read{};
  read.op = '=';
  read.column = static_cast<unsigned char>(column);
  read.length = static_cast<unsigned char>(length);
  read.op_column = static_cast<unsigned char>(column + length);
  int prefix = 0;
  const int used = read_number_text(number, normalised, read, prefix);
  if (notes != nullptr)
    note_numeric_bracket(number, normalised, used, column, length, origins, notes);
  const int index = store.count;
  return store_number(store, read, number, prefix) ? index : -1;
}

// Reads the `length` bytes of a bracket's text, which begin at `column`, as the next bracket;
// `closed` when a ']' ends it.
void read_bracket(const char* text, int length, int column, bool closed, LineReading& reading,
                  ReadingNotes* notes) {
  if (reading.bracket_count == bracket_read_capacity) return;
  BracketReading& bracket = reading.brackets[reading.bracket_count++];
  bracket.op = '\0';  // no operator is recorded yet for this bracket's place
  bracket.op_column = 0;
  bracket.column = static_cast<unsigned char>(column - 1);
  bracket.length = static_cast<unsigned char>(length + (closed ? 2 : 1));
  bracket.term = holds_term_letters(text, length);
  if (!bracket.term) {
    bracket.index =
        static_cast<short>(read_numeric_bracket(text, length, column, reading.numbers, notes));
    return;
  }
  bracket.index = static_cast<short>(reading.term_count++);
  read_term(text, length, column, reading.terms[bracket.index], reading.numbers, notes);
}

// The operator codes a bracket may be followed by; 'x' counts as '*', 'X' does not.
char bracket_operator(char c) {
  if (c == 'x') return '*';
  return c != '\0' && std::strchr("+-/*", c) != nullptr ? c : '\0';
}

// Notes the operator recorded after the last bracket, if any: it meets the cleared value 0;
// and every bracket no operator joins to the others (those after the last operator's place),
// which is left out of the sum.
void note_operator_without_value(const LineReading& reading, int operators, ReadingNotes* notes) {
  for (int k = reading.bracket_count > 0 ? reading.bracket_count - 1 : 0; k < operators; ++k) {
    add_note(notes, NoteKind::empty_after, reading.brackets[k].op_column, 1);
  }
  for (int k = operators + 1; k < reading.bracket_count; ++k) {
    add_note(notes, NoteKind::bracket_dropped, reading.brackets[k].column,
             reading.brackets[k].length);
  }
}

bool is_operator_character(char c) {
  return c == '+' || c == '-' || c == '*' || c == '/' || c == 'x';
}

}  // namespace

void read_bracketed_line(const char* line, int length, LineReading& reading, ReadingNotes* notes) {
  reading.bracketed = true;
  int next_operator = 0;
  for (int p = 0; p < length; ++p) {
    if (line[p] != '[') {  // text outside brackets is skipped
      const NoteKind kind =
          is_operator_character(line[p]) ? NoteKind::operator_not_after_bracket : NoteKind::skipped;
      if (!is_blank(line[p])) add_note(notes, kind, p, 1);
      continue;
    }
    // Operators pair with values in the order they occur: one missing shifts those after it.
    if (reading.bracket_count > 0 && next_operator != reading.bracket_count) {
      add_note(notes, NoteKind::bracket_without_operator, p, 1);
    }
    const int open = p;
    p = bracket_close(line, length, open);
    if (p == length) add_note(notes, NoteKind::unclosed_bracket, open, 1);
    read_bracket(line + open + 1, p - open - 1, open + 1, p < length, reading, notes);
    // An unclosed '[' took the rest of the line; otherwise the character after ']' is used
    // up, operator or not, and operators pair with values in the order they occur.
    if (p + 1 >= length) break;
    ++p;
    const char op = bracket_operator(line[p]);
    if (op != '\0' && next_operator < reading.bracket_count) {
      reading.brackets[next_operator].op = op;
      reading.brackets[next_operator++].op_column = static_cast<unsigned char>(p);
    } else if (!is_blank(line[p])) {
      add_note(notes, NoteKind::skipped, p, 1);
    }
  }
  if (notes != nullptr) note_operator_without_value(reading, next_operator, notes);
}
