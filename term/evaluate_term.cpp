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

// Notes every "pi" in the amplitude: it puts the whole term in radians. The notes' functions
// are cold: kept out of the way of the evaluation without notes, the dialogue's.
[[gnu::cold]] void note_pi_in_amplitude(const char* amplitude_text, ReadingNotes* notes) {
  for (const char* pi = std::strstr(amplitude_text, "PI"); pi != nullptr;
       pi = std::strstr(pi + 2, "PI")) {
    note_text(notes, NoteKind::pi_in_amplitude, static_cast<int>(pi - amplitude_text), 2);
  }
}

// Notes a cut after the '=' at `mark` that drops more than blanks.
[[gnu::cold]] void note_cut(const char* text, const char* mark, ReadingNotes* notes) {
  bool only_blanks = true;
  for (const char* c = mark + 1; *c != '\0'; ++c) only_blanks = only_blanks && is_blank(*c);
  if (only_blanks) return;
  const int at = static_cast<int>(mark - text);
  const int length = at + static_cast<int>(std::strlen(mark));
  add_note(notes, NoteKind::cut_after_equals, notes->origin[at],
           notes->origin[length] - notes->origin[at]);
}

// The amplitude is the text before the first letter that begins a function name, read as an
// operand expression; a term that begins with its function name has amplitude 1. Its
// closing '=' stands where the name begins, and has that byte's origin.
double read_amplitude(const char* text, ReadingNotes* notes) {
  char amplitude_text[work_capacity];
  int length = 0;
  while (text[length] != '\0' && !begins_function_name(text[length])) {
    amplitude_text[length] = text[length];
    ++length;
  }
  if (length == 0) return 1.0;
  amplitude_text[length] = '=';
  amplitude_text[length + 1] = '\0';
  if (notes != nullptr && text[length] != '\0') note_pi_in_amplitude(amplitude_text, notes);
  return reduce_operands(amplitude_text, OperandRole::amplitude, notes, 0);
}

// Ends the text right after its first '=', appending one when there is none, so that
// nothing typed after a '=' takes part; notes a cut that drops more than blanks.
void close_term(char (&text)[work_capacity], ReadingNotes* notes) {
  char* mark = std::strchr(text, '=');
  if (mark == nullptr) {
    const std::size_t length = std::strlen(text);
    text[length] = '=';
    text[length + 1] = '\0';
    return;
  }
  if (notes != nullptr) note_cut(text, mark, notes);
  mark[1] = '\0';
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
  const auto first = static_cast<unsigned char>(text[0]);
  for (int k = 0; k < spellings_by_letter.count[first]; ++k) {
    const FunctionSpelling& row = function_spellings[spellings_by_letter.rows[first][k]];
    if (row.argument_follows && starts_with(text + 1, row.spelling + 1)) {
      return spellings_by_letter.length[first][k];
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

// The row of function_spellings whose spelling begins `letters`; -1 when there is none.
int recognise_spelling(const char* letters) {
  const auto first = static_cast<unsigned char>(letters[0]);
  for (int k = 0; k < spellings_by_letter.count[first]; ++k) {
    const int row = spellings_by_letter.rows[first][k];
    if (starts_with(letters + 1, function_spellings[row].spelling + 1)) return row;
  }
  return -1;
}

bool is_lower_letter(char c) {
  return c >= 'a' && c <= 'z';
}

// Bytes in the run of lower-case letters at `text` (what a user typed as one word).
int letter_run_length(const char* text) {
  int length = 0;
  while (is_lower_letter(text[length])) ++length;
  return length;
}

// Notes every word after the first name that begins with a spelling of a function: its
// letters are skipped and only the first name counts.
void note_second_names(const char* text, int from, ReadingNotes* notes) {
  for (int at = from; text[at] != '\0'; ++at) {
    if (!is_lower_letter(text[at]) || (at > 0 && is_lower_letter(text[at - 1]))) continue;
    for (const FunctionSpelling& row : function_spellings) {
      if (row.function == TermFunction::none || !starts_with(text + at, row.spelling)) continue;
      note_text(notes, NoteKind::second_name, at, letter_run_length(text + at));
      break;
    }
  }
}

// Notes how the function name was read: no name at all, letters that name nothing, letters
// read as a name other than the word they form ("sinh" as "sin"), or a second name.
[[gnu::cold]] void note_function_name(const char* text, int row, ReadingNotes* notes) {
  int first = 0;  // the first letter a name is spelt with: the function letters begin there
  while (text[first] != '\0' && (text[first] == '=' || !is_function_letter(text[first]))) ++first;
  const int run = letter_run_length(text + first);
  if (run == 0) {
    add_note(notes, NoteKind::no_name, notes->origin[0],
             notes->origin[std::strlen(text) - 1] - notes->origin[0]);
  } else if (row < 0) {
    note_text(notes, NoteKind::unknown_name, first, run);
  } else {
    const char* spelling = function_spellings[row].spelling;
    if (static_cast<int>(std::strlen(spelling)) != run || !starts_with(text + first, spelling)) {
      add_note(notes, NoteKind::name_read_as, notes->origin[first], run, row);
    }
    note_second_names(text, first + run, notes);
  }
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

double evaluate_term(char (&term)[term_capacity], ReadingNotes* notes) {
  bool radians = false;
  normalise_term(term, radians, notes);
  char text[work_capacity];
  copy_text(text, work_capacity, term);
  const double amplitude = read_amplitude(text, notes);
  close_term(text, notes);
  char letters[work_capacity];
  collect_function_letters(text, letters);
  const int row = recognise_spelling(letters);
  const TermFunction function = row < 0 ? TermFunction::none : function_spellings[row].function;
  if (notes != nullptr) note_function_name(text, row, notes);
  const char* argument_text = find_argument_text(text);
  const double argument = argument_text == nullptr
                              ? 0.0
                              : reduce_operands(argument_text, OperandRole::argument, notes,
                                                static_cast<int>(argument_text - text));
  return apply_function(function, amplitude, argument, radians);
}
