#include "term/operand_list.h"

#include "term/decimal_number.h"
#include "term/term_text.h"
#include "term/trig_constants.h"

namespace {

bool is_sign_context(char previous) {
  return previous == 'E' || previous == '*' || previous == '/' || previous == '+' ||
         previous == '-';
}

// A number character is a digit, '.', 'E', 'P', 'I', or a minus that opens the
// text or follows "E * / + -" (a sign, as in "5E-3", "2*-3" and a leading "-30").
bool is_number_character(const char* text, int k) {
  const char c = text[k];
  if (is_digit(c) || c == '.' || c == 'E' || c == 'P' || c == 'I') return true;
  return c == '-' && (k == 0 || is_sign_context(text[k - 1]));
}

bool ends_number(char c) {
  return c == '*' || c == '+' || c == '-' || c == '/' || c == '=';
}

// Appends `value` followed by `op`; ignored once the list holds operand_capacity operands.
void append_operand(OperandList& list, double value, char op) {
  if (list.count >= operand_capacity) return;
  list.values[list.count] = value;
  list.operators[list.count] = op;
  ++list.count;
}

// One run of operands joined by '*' and '/', folded into one value.
struct Run {
  double value;     // the run's operands folded left to right
  char join;        // the operator before the run; none (0) for the first, which starts the sum
  bool multiplied;  // at least one operand was folded into the first
};

// Adds and subtracts the runs from left to right, in doubles: every step rounds as plain
// double arithmetic does. A run that folded products leaves its folded operands behind as
// zeros to add, which turns a sum of -0 into +0 ("-5*=" is 0, not -0); nothing else changes.
double sum_runs(const Run* runs, int count) {
  double sum = runs[0].value;
  for (int g = 0; g < count; ++g) {
    if (runs[g].join == '+') sum = sum + runs[g].value;
    if (runs[g].join == '-') sum = sum - runs[g].value;
    if (runs[g].multiplied) sum = sum + 0.0;
  }
  return sum;
}

// The numbers of `text` with the operator or mark that ends each.
OperandList read_operands(const char* text) {
  OperandList list;  // only the first `count` entries are ever read: no need to clear it all
  list.count = 0;
  char number[number_text_capacity];
  int length = 0;
  for (int k = 0; text[k] != '\0'; ++k) {
    if (is_number_character(text, k)) {
      // Room is kept for ".0" and the terminator; a longer number keeps its first bytes.
      if (length < number_text_capacity - 3) number[length++] = text[k];
    } else if (ends_number(text[k])) {
      append_operand(list, number_text_value(number, length), text[k]);
      length = 0;
    }
  }
  return list;
}

}  // namespace

// ".0" is appended so that an empty text or a lone "-" still converts (to 0 and -0) and
// "5E3" stops at the point instead of running on into what follows in the buffer.
double number_text_value(char* number, int length) {
  number[length] = '.';
  number[length + 1] = '0';
  number[length + 2] = '\0';
  if (number[0] == 'P' && number[1] == 'I') return trig_pi;
  int prefix_length = 0;
  return decimal_prefix_value(number, prefix_length);
}

double reduce_list(const OperandList& list) {
  Run runs[operand_capacity + 1];
  runs[0] = {list.count > 0 ? list.values[0] : 0.0, '\0', false};
  int count = 1;
  for (int k = 0; k < list.count; ++k) {
    const char op = list.operators[k];
    const double right = k + 1 < list.count ? list.values[k + 1] : 0.0;
    Run& last = runs[count - 1];
    if (op == '*' || op == '/') {
      last.value = op == '*' ? last.value * right : last.value / right;
      last.multiplied = true;
    } else {
      runs[count++] = {right, op, false};
    }
  }
  return sum_runs(runs, count);
}

double reduce_operands(const char* text) {
  return reduce_list(read_operands(text));
}
