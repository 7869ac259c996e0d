#include "term/evaluate_term.h"

#include <cmath>
#include <cstring>

#include "term/normalise_term.h"
#include "term/operand_list.h"
#include "term/trig_constants.h"
#include "term/trig_functions.h"

namespace {

constexpr int work_capacity = term_capacity + 1;  // a 99-byte term, the closing '=' and terminator

enum class TermFunction {
  none,
  sine,
  cosine,
  tangent,
  cotangent,
  secant,
  cosecant,
  arc_sine,
  arc_cosine,
  arc_tangent
};

struct FunctionName {
  const char* prefix;     // how the function letters begin
  TermFunction function;  // what they name
};

// Looked up in order; the first row whose prefix begins the function letters wins, so
// "cosec" is the cosecant, any other "cose..." is nothing, and "cos..." is the cosine.
constexpr FunctionName function_names[] = {
    {"cosec", TermFunction::cosecant},   {"cose", TermFunction::none},
    {"cos", TermFunction::cosine},       {"cotg", TermFunction::cotangent},
    {"cotan", TermFunction::cotangent},  {"sec", TermFunction::secant},
    {"sen", TermFunction::sine},         {"sin", TermFunction::sine},
    {"tan", TermFunction::tangent},      {"tg", TermFunction::tangent},
    {"acos", TermFunction::arc_cosine},  {"arcos", TermFunction::arc_cosine},
    {"asin", TermFunction::arc_sine},    {"arcsin", TermFunction::arc_sine},
    {"arcsen", TermFunction::arc_sine},  {"atan", TermFunction::arc_tangent},
    {"atg", TermFunction::arc_tangent},  {"arctan", TermFunction::arc_tangent},
    {"arctg", TermFunction::arc_tangent}};

// Names after which the argument begins, longest first where one begins another.
constexpr const char* argument_names[] = {"cotan", "cosec", "cotg", "cos", "sin",
                                          "tan",   "sen",   "sec",  "tg"};

bool starts_function_name(char c) {
  return c == 'a' || c == 'c' || c == 's' || c == 't';
}

// One of "costingaer=", the characters function names are spelled with.
bool is_function_letter(char c) {
  switch (c) {
    case 'c':
    case 'o':
    case 's':
    case 't':
    case 'i':
    case 'n':
    case 'g':
    case 'a':
    case 'e':
    case 'r':
    case '=':
      return true;
    default:
      return false;
  }
}

// Every argument name begins with 'c', 's' or 't'; other positions need no name compared.
bool starts_argument_name(char c) {
  return c == 'c' || c == 's' || c == 't';
}

// The amplitude is the text before the first 'a', 'c', 's' or 't', read as an operand
// expression; a term that begins with its function name has amplitude 1.
double read_amplitude(const char* text) {
  char amplitude_text[work_capacity];
  int length = 0;
  while (text[length] != '\0' && !starts_function_name(text[length])) {
    amplitude_text[length] = text[length];
    ++length;
  }
  if (length == 0) return 1.0;
  amplitude_text[length] = '=';
  amplitude_text[length + 1] = '\0';
  return static_cast<double>(reduce_operands(amplitude_text, 1.0L));
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

// Length of the argument name beginning at `text`, 0 when none begins there.
int argument_name_length(const char* text) {
  for (const char* name : argument_names) {
    if (name[0] == text[0] && starts_with(text, name)) return static_cast<int>(std::strlen(name));
  }
  return 0;
}

// The argument text is everything after the leftmost function name; nullptr when none.
const char* find_argument_text(const char* text) {
  for (; *text != '\0'; ++text) {
    if (!starts_argument_name(*text)) continue;
    const int length = argument_name_length(text);
    if (length > 0) return text + length;
  }
  return nullptr;
}

TermFunction recognise_function(const char* letters) {
  for (const FunctionName& name : function_names) {
    if (name.prefix[0] == letters[0] && starts_with(letters, name.prefix)) return name.function;
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

long double evaluate_term(char (&term)[term_capacity], bool& recognised) {
  bool radians = false;
  normalise_term(term, radians);
  char text[work_capacity];
  copy_text(text, work_capacity, term);
  const double amplitude = read_amplitude(text);
  close_term(text);
  char letters[work_capacity];
  collect_function_letters(text, letters);
  const char* argument_text = find_argument_text(text);
  const double argument =
      argument_text == nullptr ? 0.0 : static_cast<double>(reduce_operands(argument_text, 0.0L));
  const TermFunction function = recognise_function(letters);
  recognised = function != TermFunction::none;
  return apply_function(function, amplitude, argument, radians);
}
