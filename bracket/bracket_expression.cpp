#include "bracket/bracket_expression.h"

#include <cstring>

#include "term/evaluate_term.h"
#include "term/function_names.h"
#include "term/normalise_term.h"

namespace {

// A bracket that holds a letter some function name begins with ('a', 'c', 's', 't'),
// anywhere, is a term; any other is a number.
bool holds_term_letters(const char* text) {
  for (; *text != '\0'; ++text) {
    if (function_letter_classes.begins_name[static_cast<unsigned char>(*text)]) return true;
  }
  return false;
}

// True when the number text has a digit or begins with pi: something a number was read from.
bool holds_digit_or_pi(const char* number) {
  return starts_with(number, "PI") || std::strpbrk(number, "0123456789") != nullptr;
}

// Copies the text after '[' at `open` up to the next ']' (or the end of the line) into
// `term`, cut to the term buffer, and returns the index of that ']' or of the terminator.
int copy_bracket_text(const char* line, int open, char (&term)[term_capacity]) {
  int close = open + 1;
  int length = 0;
  for (; line[close] != '\0' && line[close] != ']'; ++close) {
    if (length < term_capacity - 1) term[length++] = line[close];
  }
  term[length] = '\0';
  return close;
}

// The value of a bracket whose text, in `term`, begins at column `first` of the line.
double bracket_value(char (&term)[term_capacity], int first, ReadingNotes* notes) {
  if (notes != nullptr) notes->base = first;
  if (holds_term_letters(term)) return evaluate_term(term, notes);
  return numeric_bracket_value(term, notes);
}

// The operator codes a bracket may be followed by; 'x' counts as '*', 'X' does not.
char bracket_operator(char c) {
  if (c == 'x') return '*';
  return c != '\0' && std::strchr("+-/*", c) != nullptr ? c : '\0';
}

// Notes every operator that meets no bracket after it (it meets the cleared value 0).
void note_operators_without_value(const unsigned char* columns, int operators, int brackets,
                                  ReadingNotes* notes) {
  for (int k = brackets > 0 ? brackets - 1 : 0; k < operators; ++k) {
    add_note(notes, NoteKind::empty_after, columns[k], 1);
  }
}

}  // namespace

double evaluate_bracketed_line(const char* line, char (&term)[term_capacity], OperandList& operands,
                               ReadingNotes* notes) {
  operands.count = 0;
  int next_operator = 0;
  unsigned char operator_columns[operand_capacity];  // where each operator stood, for the notes
  for (int p = 0; line[p] != '\0'; ++p) {
    if (line[p] != '[') {  // text outside brackets is skipped
      if (!is_blank(line[p])) add_note(notes, NoteKind::skipped, p, 1);
      continue;
    }
    // Operators pair with values in the order they occur: one missing shifts those after it.
    if (operands.count > 0 && next_operator != operands.count) {
      add_note(notes, NoteKind::bracket_without_operator, p, 1);
    }
    const int open = p;
    p = copy_bracket_text(line, p, term);
    const double value = bracket_value(term, open + 1, notes);
    if (operands.count < operand_capacity) {
      // No operator is recorded yet for this bracket's place (at most one per bracket before).
      operands.operators[operands.count] = '\0';
      operands.values[operands.count++] = value;
    }
    // An unclosed '[' took the rest of the line; otherwise the character after ']' is used
    // up, operator or not, and operators pair with values in the order they occur.
    if (line[p] == '\0' || line[p + 1] == '\0') break;
    ++p;
    const char op = bracket_operator(line[p]);
    if (op != '\0' && next_operator < operand_capacity) {
      operator_columns[next_operator] = static_cast<unsigned char>(p);
      operands.operators[next_operator++] = op;
    } else if (!is_blank(line[p])) {
      add_note(notes, NoteKind::skipped, p, 1);
    }
  }
  if (notes != nullptr) {
    note_operators_without_value(operator_columns, next_operator, operands.count, notes);
  }
  return reduce_list(operands);
}

// A bracket's number is its decimal prefix: what follows it is not read, and a bracket with
// none is no number at all (brackets included in the note, '[' standing right before `text`).
double numeric_bracket_value(const char* text, ReadingNotes* notes) {
  char number[number_text_capacity];
  copy_text(number, term_capacity, text);
  normalise_number(number, notes);
  const int length = static_cast<int>(std::strlen(number));
  int used = 0;
  const double value = number_text_value(number, length, used);
  if (notes == nullptr || (used == length && length > 0 && holds_digit_or_pi(number))) {
    return value;
  }
  if (used == 0 || !holds_digit_or_pi(number)) {
    const int width = static_cast<int>(std::strlen(text)) + 2;
    add_note(notes, NoteKind::bracket_not_number, notes->base - 1, width);
  } else if (number[used] == 'P' && number[used + 1] == 'I') {
    note_text(notes, NoteKind::pi_after_digit, used, 2);
    note_text(notes, NoteKind::number_tail, used + 2, length - used - 2);
  } else {
    note_text(notes, NoteKind::number_tail, used, length - used);
  }
  return value;
}
