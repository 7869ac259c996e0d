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

// A bracket's value; a term that names no known function clears `recognised`.
double bracket_value(char (&term)[term_capacity], bool& recognised) {
  if (!holds_term_letters(term)) return numeric_bracket_value(term);
  bool named = false;
  const double value = evaluate_term(term, named);
  recognised = recognised && named;
  return value;
}

// The operator codes a bracket may be followed by; 'x' counts as '*', 'X' does not.
char bracket_operator(char c) {
  if (c == 'x') return '*';
  return c != '\0' && std::strchr("+-/*", c) != nullptr ? c : '\0';
}

}  // namespace

double evaluate_bracketed_line(const char* line, char (&term)[term_capacity], OperandList& operands,
                               bool& recognised) {
  operands.count = 0;
  recognised = true;
  int next_operator = 0;
  for (int p = 0; line[p] != '\0'; ++p) {
    if (line[p] != '[') continue;  // text outside brackets is skipped
    p = copy_bracket_text(line, p, term);
    const double value = bracket_value(term, recognised);
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
    if (op != '\0' && next_operator < operand_capacity) operands.operators[next_operator++] = op;
  }
  return reduce_list(operands);
}

double numeric_bracket_value(const char* text) {
  char number[number_text_capacity];
  copy_text(number, term_capacity, text);
  normalise_number(number);
  return number_text_value(number, static_cast<int>(std::strlen(number)));
}
