#include "term/operand_list.h"

#include <cstring>

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

// Value of the `length` bytes of number text in `number`, which has room for three more.
// The text gets ".0" appended before conversion, so that an empty text or a lone "-" still
// converts (to 0 and -0) and "5E3" stops at the point instead of running on.
double number_buffer_value(char* number, int length) {
  number[length] = '.';
  number[length + 1] = '0';
  number[length + 2] = '\0';
  if (number[0] == 'P' && number[1] == 'I') return trig_pi;
  return decimal_prefix_value(number);
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
  // The entry after the last one stays 0 even in a list that was not cleared in full.
  list.values[list.count] = 0.0;
  list.operators[list.count] = '\0';
}

OperandList read_operands(const char* text) {
  // Only the entry at `count` is ever read beyond the operands, and append_operand keeps
  // it 0: clearing the whole list (most of a kilobyte, twice per term) is not needed.
  OperandList list;
  list.count = 0;
  list.values[0] = 0.0;
  list.operators[0] = '\0';
  char number[number_text_capacity];
  int length = 0;
  for (int k = 0; text[k] != '\0'; ++k) {
    if (is_number_character(text, k)) {
      // Room is kept for ".0" and the terminator; a longer number keeps its first bytes.
      if (length < number_text_capacity - 3) number[length++] = text[k];
    } else if (ends_number(text[k])) {
      append_operand(list, number_buffer_value(number, length), text[k]);
      length = 0;
    }
  }
  return list;
}

double number_text_value(const char* text) {
  char number[number_text_capacity];
  copy_text(number, number_text_capacity - 2, text);
  return number_buffer_value(number, static_cast<int>(std::strlen(number)));
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
