#include "term/evaluate_term.h"

#include <cstring>

#include "term/function_names.h"
#include "term/normalise_term.h"
#include "term/operand_list.h"
#include "term/trig_constants.h"
#include "term/trig_functions.h"

namespace {

constexpr int work_capacity = term_capacity + 1;  // a 99-byte term, the closing '=' and terminator

bool begins_function_name(char c) {
  return function_letter_classes.begins_name[static_cast<unsigned char>(c)];
}

// A letter function names are spelt with, or the closing '='.
bool is_function_letter(char c) {
  return c == '=' || function_letter_classes.in_name[static_cast<unsigned char>(c)];
}

bool begins_argument_name(char c) {
  return function_letter_classes.begins_argument[static_cast<unsigned char>(c)];
}

// The amplitude is the text before the first letter that begins a function name, read as an
// operand expression; a term that begins with its function name has amplitude 1.
double read_amplitude(const char* text) {
  char amplitude_text[work_capacity];
  int length = 0;
  while (text[length] != '\0' && !begins_function_name(text[length])) {
    amplitude_text[length] = text[length];
    ++length;
  }
  if (length == 0) return 1.0;
  amplitude_text[length] = '=';
  amplitude_text[length + 1] = '\0';
  return reduce_operands(amplitude_text);
}

// Ends the text right after its first '=', appending one when there is none, so that
// nothing typed after a '=' takes part.
void close_term(char (&text)[work_capacity]) {
  char* mark = std::strchr(text, '=');
  if (mark == nullptr) {
    const std::size_t length = std::strlen(text);
    text[length] = '=';
    text[length + 1] = '\0';
  } else {
    mark[1] = '\0';
  }
}

// Keeps, in order, the characters that can spell a function name, and the closing '='.
void collect_function_letters(const char* text, char (&letters)[work_capacity]) {
  int length = 0;
  for (; *text != '\0'; ++text) {
    if (is_function_letter(*text)) letters[length++] = *text;
  }
  letters[length] = '\0';
}

// Length of the first spelling in the table that the argument follows and that begins at
// `text`; 0 when none begins there.
int argument_name_length(const char* text) {
  for (const FunctionSpelling& row : function_spellings) {
    if (row.argument_follows && row.spelling[0] == text[0] && starts_with(text, row.spelling)) {
      return static_cast<int>(std::strlen(row.spelling));
    }
  }
  return 0;
}

// The argument text is everything after the leftmost name the argument follows; nullptr
// when there is none.
const char* find_argument_text(const char* text) {
  for (; *text != '\0'; ++text) {
    if (!begins_argument_name(*text)) continue;
    const int length = argument_name_length(text);
    if (length > 0) return text + length;
  }
  return nullptr;
}

TermFunction recognise_function(const char* letters) {
  for (const FunctionSpelling& row : function_spellings) {
    if (row.spelling[0] == letters[0] && starts_with(letters, row.spelling)) return row.function;
  }
  return TermFunction::none;
}

double degrees_to_radians(double degrees) {
  return (degrees * trig_pi) / half_turn_degrees;
}

double radians_to_degrees(double radians) {
  return (radians * half_turn_degrees) / trig_pi;
}

// Direct functions take an angle; reciprocals divide first and scale second.
double direct_value(TermFunction function, double angle, double amplitude) {
  switch (function) {
    case TermFunction::sine:
      return trig_sin(angle) * amplitude;
    case TermFunction::cosine:
      return trig_cos(angle) * amplitude;
    case TermFunction::tangent:
      return trig_tan(angle) * amplitude;
    case TermFunction::cotangent:
      return (1.0 / trig_tan(angle)) * amplitude;
    case TermFunction::secant:
      return (1.0 / trig_cos(angle)) * amplitude;
    case TermFunction::cosecant:
      return (1.0 / trig_sin(angle)) * amplitude;
    default:
      return 0.0;
  }
}

// Inverse functions take the argument as typed; their scaled value is then in radians.
double inverse_value(TermFunction function, double argument, double amplitude) {
  switch (function) {
    case TermFunction::arc_sine:
      return trig_asin(argument) * amplitude;
    case TermFunction::arc_cosine:
      return trig_acos(argument) * amplitude;
    case TermFunction::arc_tangent:
      return trig_atan(argument) * amplitude;
    default:
      return 0.0;
  }
}

bool is_inverse(TermFunction function) {
  return function == TermFunction::arc_sine || function == TermFunction::arc_cosine ||
         function == TermFunction::arc_tangent;
}

double apply_function(TermFunction function, double amplitude, double argument, bool radians) {
  if (is_inverse(function)) {
    const double value = inverse_value(function, argument, amplitude);
    return radians ? value : radians_to_degrees(value);
  }
  const double angle = radians ? argument : degrees_to_radians(argument);
  return direct_value(function, angle, amplitude);
}

}  // namespace

double evaluate_term(char (&term)[term_capacity], bool& recognised) {
  bool radians = false;
  normalise_term(term, radians);
  char text[work_capacity];
  copy_text(text, work_capacity, term);
  const double amplitude = read_amplitude(text);
  close_term(text);
  char letters[work_capacity];
  collect_function_letters(text, letters);
  const char* argument_text = find_argument_text(text);
  const double argument = argument_text == nullptr ? 0.0 : reduce_operands(argument_text);
  const TermFunction function = recognise_function(letters);
  recognised = function != TermFunction::none;
  return apply_function(function, amplitude, argument, radians);
}
