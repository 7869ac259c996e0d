#include "bracket/bracket_expression.h"

#include <cstring>

#include "term/decimal_number.h"
#include "term/evaluate_term.h"
#include "term/trig_constants.h"

namespace {

constexpr int numeric_capacity = term_capacity + 2;  // a bracket's text and an appended ".0"

// A bracket that holds any of 's', 't', 'c', 'a' is a term; any other is a number.
bool holds_term_letters(const char* text) {
  return std::strpbrk(text, "stca") != nullptr;
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
  const double value = static_cast<double>(evaluate_term(term, named));
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
  clear_operands(operands);
  recognised = true;
  int next_operator = 0;
  for (int p = 0; line[p] != '\0'; ++p) {
    if (line[p] != '[') continue;  // text outside brackets is skipped
    p = copy_bracket_text(line, p, term);
    const double value = bracket_value(term, recognised);
    if (operands.count < operand_capacity) operands.values[operands.count++] = value;
    // An unclosed '[' took the rest of the line; otherwise the character after ']' is used
    // up, operator or not, and operators pair with values in the order they occur.
    if (line[p] == '\0' || line[p + 1] == '\0') break;
    ++p;
    const char op = bracket_operator(line[p]);
    if (op != '\0' && next_operator < operand_capacity) operands.operators[next_operator++] = op;
  }
  if (operands.count == 0) return 0.0;
  fold_products(operands);
  return static_cast<double>(sum_operands(operands));
}

double numeric_bracket_value(const char* text) {
  char number[numeric_capacity];
  copy_text(number, term_capacity, text);
  capitalise_pi(number);
  replace_character(number, 'x', '*');
  replace_character(number, 'X', '*');
  capitalise_exponents(number);
  if (!replace_first_power_of_ten(number)) append_text(number, numeric_capacity, ".0");
  if (starts_with(number, "PI")) return trig_pi;
  return decimal_prefix_value(number);
}
