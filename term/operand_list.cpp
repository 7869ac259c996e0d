#include "term/operand_list.h"

#include "term/decimal_number.h"
#include "term/term_text.h"
#include "term/trig_constants.h"

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

bool is_product(char op) {
  return op == '*' || op == '/';
}

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

}  // namespace

void clear_operands(OperandList& list) {
  list = OperandList{};
}

void append_operand(OperandList& list, double value, char op) {
  if (list.count >= operand_capacity) return;
  list.values[list.count] = value;
  list.operators[list.count] = op;
  ++list.count;
}

OperandList read_operands(const char* text) {
  OperandList list;
  clear_operands(list);
  char number[number_text_capacity];
  int length = 0;
  for (int k = 0; text[k] != '\0'; ++k) {
    if (is_number_character(text, k)) {
      // Room is kept for ".0" and the terminator; a longer number keeps its first bytes.
      if (length < number_text_capacity - 3) number[length++] = text[k];
    } else if (ends_number(text[k])) {
      number[length] = '\0';
      append_operand(list, number_text_value(number), text[k]);
      length = 0;
    }
  }
  return list;
}

// The number text gets ".0" appended before conversion, so that an empty text or a lone
// "-" still converts (to 0 and -0) and "5E3" stops at the point instead of running on.
double number_text_value(const char* text) {
  if (text[0] == 'P' && text[1] == 'I') return trig_pi;
  char number[number_text_capacity];
  copy_text(number, number_text_capacity - 2, text);
  append_text(number, number_text_capacity, ".0");
  return decimal_prefix_value(number);
}

void fold_products(OperandList& list) {
  for (int i = 0; i < list.count; ++i) {
    const int first = i;
    // The spare entry at operand_capacity is always 0 with operator 0, so the run ends there.
    while (i < operand_capacity && is_product(list.operators[i])) {
      const double right = list.values[i + 1];
      const double left = list.values[first];
      list.values[first] = list.operators[i] == '*' ? left * right : left / right;
      list.values[i + 1] = 0.0;
      list.operators[i] = '+';
      ++i;
    }
  }
}

// The accumulator is a double: every step rounds as plain double arithmetic does,
// whatever width long double has on the platform.
long double sum_operands(const OperandList& list) {
  double sum = list.values[0];
  for (int j = 0; j < list.count; ++j) {
    if (list.operators[j] == '-') sum = sum - list.values[j + 1];
    if (list.operators[j] == '+') sum = sum + list.values[j + 1];
  }
  return sum;
}

long double reduce_operands(const char* text, long double default_value) {
  OperandList list = read_operands(text);
  if (list.count == 0) return default_value;
  fold_products(list);
  return sum_operands(list);
}
