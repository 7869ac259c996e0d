#include "report/report.h"

#include <cstring>
#include <iterator>

#include "io/diagnostics.h"
#include "io/text_form.h"
#include "line/closest_names.h"
#include "line/exact_line.h"
#include "report/shown_text.h"
#include "text/messages.h"

namespace {

constexpr int report_capacity = 8192;  // the longest report: every note of a 99-byte line

// A report being put together, written out at once so that it never mixes with other output.
struct ReportText {
  char text[report_capacity];
  int length;  // bytes used; what does not fit is left out
};

void append(ReportText& report, const char* bytes, int count) {
  const int room = report_capacity - report.length;
  const int kept = count < room ? count : room;
  std::memcpy(report.text + report.length, bytes, static_cast<std::size_t>(kept));
  report.length += kept;
}

// Appends our zero-terminated `text` in the chosen form: with its accents or without them.
void append(ReportText& report, const char* text) {
  report.length += form_text(text, static_cast<int>(std::strlen(text)), report.text + report.length,
                             report_capacity - report.length);
}

void append_number(ReportText& report, long number) {
  char digits[24];
  append(report, digits, std::snprintf(digits, sizeof digits, "%ld", number));
}

// Appends the `length` bytes at `text` as shown: escaped where a terminal would act on them.
void append_shown(ReportText& report, const char* text, int length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (int at = 0; at < length;) {
    char shown[shown_capacity];
    int width = 0;
    at += shown_character(bytes + at, length - at, texts_accented(), shown, width);
    append(report, shown, static_cast<int>(std::strlen(shown)));  // input bytes, as they are
  }
}

// The expression a report is about.
struct Expression {
  const char* text;
  int length;
};

// Appends the `count` bytes of our words at `text` in the chosen form.
void append_words(ReportText& report, const char* text, int count) {
  report.length +=
      form_text(text, count, report.text + report.length, report_capacity - report.length);
}

// Appends " (NAME)" for the first character of the `length` bytes at `text` that is shown
// escaped because a terminal shows it as a blank or as nothing: a pasted no-break space
// looks like the blank that is read, and is not.
void append_invisible_name(ReportText& report, const char* text, int length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (int at = 0; at < length; ++at) {
    const char* name = invisible_character_name(bytes + at, length - at);
    if (name == nullptr) continue;
    append(report, " (");
    append(report, name);
    return append(report, ")");
  }
}

// What fills the places of a wording (text/messages.h): the expression, the note worded (null
// for the report's own words), a number, and two more texts: the arguments joined ({j}), or
// the group of a natural reading and what follows it ({i}, {r}).
struct Filling {
  const Expression* expression;
  const ReadingNote* note;
  long number;
  Expression first;
  Expression second;
};

// The note's bytes of the expression: from its column, to its end or the expression's.
Expression note_bytes(const Filling& filling) {
  const Expression& expression = *filling.expression;
  const ReadingNote& note = *filling.note;
  const int end =
      note.column + note.length < expression.length ? note.column + note.length : expression.length;
  return {expression.text + note.column, end > note.column ? end - note.column : 0};
}

// Appends {q}: the note's bytes as shown, quoted, and the name of a character in them a
// terminal shows as a blank or as nothing.
void append_quoted(ReportText& report, const Filling& filling) {
  const Expression quoted = note_bytes(filling);
  append(report, "\"");
  append_shown(report, quoted.text, quoted.length);
  append(report, "\"");
  append_invisible_name(report, quoted.text, quoted.length);
}

// Appends {s} (or {S}, `read_as` the name the word was read as): the names at most two edits
// away from the note's word, fewer than it has letters, and nearer than `read_as`.
void append_suggestions(ReportText& report, const Filling& filling, const char* read_as) {
  const ReadingNote& note = *filling.note;
  const char* word = filling.expression->text + note.column;
  int limit = note.length - 1 < max_suggested_distance ? note.length - 1 : max_suggested_distance;
  if (read_as != nullptr) {
    const int distance = spelling_distance(word, note.length, read_as);
    if (distance - 1 < limit) limit = distance - 1;
  }
  const char* names[suggestion_capacity];
  const NameList list =
      note.kind == NoteKind::natural_unknown_word ? NameList::natural : NameList::term;
  const int found = closest_names(list, word, note.length, limit, names);
  for (int k = 0; k < found; ++k) {
    append(report, k == 0          ? words::similar_names
                   : k + 1 < found ? words::similar_names_comma
                                   : words::similar_names_or);
    append(report, "\"");
    append(report, names[k]);
    append(report, "\"");
  }
}

// Appends the `length` bytes at `text` as shown, less their parentheses.
void append_shown_without_parentheses(ReportText& report, const char* text, int length) {
  for (int at = 0; at < length;) {
    int run = 0;
    while (at + run < length && text[at + run] != '(' && text[at + run] != ')') ++run;
    append_shown(report, text + at, run);
    at += run + (at + run < length ? 1 : 0);
  }
}

// The index in the `length` bytes at `text`, which begin with '(', of the ')' that closes it;
// -1 when none does.
int closing_parenthesis(const char* text, int length) {
  int depth = 0;
  for (int at = 0; at < length; ++at) {
    depth += text[at] == '(' ? 1 : text[at] == ')' ? -1 : 0;
    if (depth == 0) return at;
  }
  return -1;
}

void append_filled(ReportText& report, const char* wording, const Filling& filling);

// Appends {w}: how to have the parentheses group, --natural; for an argument that opens with
// them right after the name, what that reads ("(sen 30)*2").
void append_natural_way(ReportText& report, const Filling& filling) {
  const ReadingNote& note = *filling.note;
  const char* list = filling.expression->text + note.column;
  const int length = note.column + note.length <= filling.expression->length ? note.length : 0;
  const int close = length > 0 && list[0] == '(' ? closing_parenthesis(list, length) : -1;
  if (note.name[0] == '\0' || close < 0) return append_filled(report, words::natural_way, filling);
  Filling group = filling;
  group.first = {list + 1, close - 1};
  group.second = {list + close + 1, length - close - 1};
  append_filled(report, words::natural_way_written, group);
}

// Appends {u}: the note's bytes as shown, less their parentheses, when the note lies within
// the expression.
void append_ungrouped(ReportText& report, const Filling& filling) {
  const ReadingNote& note = *filling.note;
  if (note.column + note.length > filling.expression->length) return;
  append_shown_without_parentheses(report, filling.expression->text + note.column, note.length);
}

// Why a function has no value ({v}), by TermFunction: the sine, cosine and arc tangent always
// have one.
constexpr const char* without_value_wordings[] = {words::other_without_value,
                                                  words::other_without_value,
                                                  words::other_without_value,
                                                  words::tangent_without_value,
                                                  words::cotangent_without_value,
                                                  words::secant_without_value,
                                                  words::cosecant_without_value,
                                                  words::arc_sine_without_value,
                                                  words::arc_cosine_without_value,
                                                  words::other_without_value,
                                                  words::logarithm_without_value,
                                                  words::logarithm_without_value,
                                                  words::other_without_value,
                                                  words::other_without_value,
                                                  words::other_without_value,
                                                  words::other_without_value,
                                                  words::other_without_value,
                                                  words::arc_hyperbolic_cosine_without_value,
                                                  words::arc_hyperbolic_tangent_without_value,
                                                  words::other_without_value};
static_assert(std::size(without_value_wordings) == static_cast<std::size_t>(last_term_function) + 1,
              "one wording of a value that does not exist per function");

// Appends the piece a wording's place `place` stands for.
void append_piece(ReportText& report, char place, const Filling& filling) {
  switch (place) {
    case 'q':
      return append_quoted(report, filling);
    case 'n':
      return append(report, filling.note->name);
    case 'l':
      return append_number(report, filling.expression->length);
    case 'd':
      return append_number(report, filling.number);
    case 's':
      return append_suggestions(report, filling, nullptr);
    case 'S':
      return append_suggestions(report, filling, filling.note->name);
    case 'u':
      return append_ungrouped(report, filling);
    case 'w':
      return append_natural_way(report, filling);
    case 'i':
      return append_shown(report, filling.first.text, filling.first.length);
    case 'r':
      return append_shown(report, filling.second.text, filling.second.length);
    case 'v':
      return append_filled(report, without_value_wordings[static_cast<int>(filling.note->function)],
                           filling);
    default:  // 'j'
      append_shown(report, filling.first.text, filling.first.length);
      append(report, " ");
      return append_shown(report, filling.second.text, filling.second.length);
  }
}

// Appends `wording` (text/messages.h) with its places filled from `filling`.
void append_filled(ReportText& report, const char* wording, const Filling& filling) {
  for (const char* at = wording;;) {
    const char* place = std::strchr(at, '{');
    const char* end = place != nullptr ? place : at + std::strlen(at);
    append_words(report, at, static_cast<int>(end - at));
    if (place == nullptr) return;
    append_piece(report, place[1], filling);
    at = place + 3;  // past "{x}"
  }
}

// What tells a kind's two wordings apart: the second is used when the note is so.
enum class Telling : unsigned char {
  never,        // the kind has one wording
  one_byte,     // about one byte
  blanks,       // about blanks alone
  after_plus,   // about a '+'
  no_name,      // without a name
  at_line_end,  // about no byte, at the end of the line
  bar,          // about a '|'
};

// How a kind of note is worded: its wording, and a second told apart by `telling`.
struct NoteWording {
  NoteKind kind;
  const char* wording;
  Telling telling;
  const char* second;
};

// Every kind's wording, in NoteKind's order.
constexpr NoteWording note_wordings[] = {
    {NoteKind::skipped, words::skipped, Telling::never, nullptr},
    {NoteKind::skipped_letters, words::skipped_letters, Telling::one_byte, words::skipped_letter},
    {NoteKind::joined_number, words::joined_number, Telling::never, nullptr},
    {NoteKind::number_tail, words::number_tail, Telling::never, nullptr},
    {NoteKind::number_unread, words::number_unread, Telling::never, nullptr},
    {NoteKind::empty_after, words::empty_after, Telling::never, nullptr},
    {NoteKind::empty_before, words::empty_before, Telling::never, nullptr},
    {NoteKind::amplitude_without_number, words::amplitude_without_number, Telling::blanks,
     words::blank_amplitude},
    {NoteKind::empty_argument, words::empty_argument, Telling::never, nullptr},
    {NoteKind::plus_after_exponent, words::plus_after_exponent, Telling::never, nullptr},
    {NoteKind::cut_after_equals, words::cut_after_equals, Telling::never, nullptr},
    {NoteKind::second_name, words::second_name, Telling::never, nullptr},
    {NoteKind::name_read_as, words::name_read_as, Telling::never, nullptr},
    {NoteKind::unknown_name, words::unknown_name, Telling::never, nullptr},
    {NoteKind::no_name, words::no_name, Telling::never, nullptr},
    {NoteKind::pi_in_amplitude, words::pi_in_amplitude, Telling::never, nullptr},
    {NoteKind::pi_after_digit, words::pi_after_digit, Telling::never, nullptr},
    {NoteKind::rad_not_at_start, words::rad_not_at_start, Telling::never, nullptr},
    {NoteKind::bracket_not_number, words::bracket_not_number, Telling::never, nullptr},
    {NoteKind::bracket_without_operator, words::bracket_without_operator, Telling::never, nullptr},
    {NoteKind::line_cut, words::line_cut, Telling::never, nullptr},
    {NoteKind::capital_name, words::capital_name, Telling::never, nullptr},
    {NoteKind::control_blank, words::control_blank, Telling::never, nullptr},
    {NoteKind::misplaced_degree_sign, words::misplaced_degree_sign, Telling::never, nullptr},
    {NoteKind::unclosed_bracket, words::unclosed_bracket, Telling::never, nullptr},
    {NoteKind::number_too_large, words::number_too_large, Telling::never, nullptr},
    {NoteKind::division_by_zero, words::division_by_zero, Telling::never, nullptr},
    {NoteKind::outside_domain, words::outside_domain, Telling::never, nullptr},
    {NoteKind::not_finite, words::not_finite, Telling::never, nullptr},
    {NoteKind::rad_joined_name, words::rad_joined_name, Telling::never, nullptr},
    {NoteKind::name_split, words::name_split, Telling::never, nullptr},
    {NoteKind::name_split_without_argument, words::name_split_without_argument, Telling::never,
     nullptr},
    {NoteKind::argument_without_number, words::argument_without_number, Telling::never, nullptr},
    {NoteKind::zero_byte_ends_line, words::zero_byte_ends_line, Telling::never, nullptr},
    {NoteKind::bracket_number_unread, words::bracket_number_unread, Telling::never, nullptr},
    {NoteKind::bracket_dropped, words::bracket_dropped, Telling::never, nullptr},
    {NoteKind::operator_not_after_bracket, words::operator_not_after_bracket, Telling::never,
     nullptr},
    {NoteKind::second_name_joining, words::second_name_joining, Telling::never, nullptr},
    {NoteKind::bracket_pi_after_digit, words::bracket_pi_after_digit, Telling::never, nullptr},
    {NoteKind::blank_before_sign, words::blank_before_sign, Telling::after_plus,
     words::blank_before_sign_after_plus},
    {NoteKind::pole_in_degrees, words::pole_in_degrees, Telling::never, nullptr},
    {NoteKind::quotient_without_value, words::quotient_without_value, Telling::never, nullptr},
    {NoteKind::function_without_value, words::function_without_value, Telling::never, nullptr},
    {NoteKind::root_without_value, words::root_without_value, Telling::never, nullptr},
    {NoteKind::power_without_value, words::power_without_value, Telling::never, nullptr},
    {NoteKind::natural_empty, words::natural_empty, Telling::never, nullptr},
    {NoteKind::natural_expected_operand, words::expected_operand, Telling::at_line_end,
     words::expected_operand_at_end},
    {NoteKind::natural_missing_argument, words::missing_argument, Telling::never, nullptr},
    {NoteKind::natural_missing_operator, words::missing_operator, Telling::never, nullptr},
    {NoteKind::natural_unclosed, words::unclosed, Telling::bar, words::unclosed_bar},
    {NoteKind::natural_unopened, words::unopened, Telling::never, nullptr},
    {NoteKind::natural_mismatched, words::mismatched, Telling::never, nullptr},
    {NoteKind::natural_unknown_word, words::unknown_word, Telling::never, nullptr},
    {NoteKind::natural_unexpected, words::unexpected, Telling::never, nullptr},
    {NoteKind::natural_too_deep, words::too_deep, Telling::never, nullptr},
    {NoteKind::natural_division_of_product, words::division_of_product, Telling::never, nullptr},
    {NoteKind::natural_power_in_argument, words::power_in_argument, Telling::never, nullptr},
    {NoteKind::exact_too_large, words::exact_too_large, Telling::never, nullptr},
    {NoteKind::exact_undecided, words::exact_undecided, Telling::never, nullptr},
    {NoteKind::exact_beyond_limits, words::exact_beyond_limits, Telling::never, nullptr},
    {NoteKind::exact_out_of_memory, words::exact_out_of_memory, Telling::never, nullptr},
    {NoteKind::exact_out_of_time, words::exact_out_of_time, Telling::never, nullptr},
    {NoteKind::exact_interrupted, words::exact_interrupted, Telling::never, nullptr},
    {NoteKind::exact_stalled, words::exact_stalled, Telling::never, nullptr},
    {NoteKind::exact_ended_by_signal, words::exact_ended_by_signal, Telling::never, nullptr},
    {NoteKind::exact_no_child, words::exact_no_child, Telling::never, nullptr},
    {NoteKind::ungrouped_parentheses, words::ungrouped_argument, Telling::no_name,
     words::ungrouped_amplitude},
    {NoteKind::number_too_small, words::number_too_small, Telling::never, nullptr},
    {NoteKind::underflow, words::underflow, Telling::never, nullptr},
    {NoteKind::natural_x_as_times, words::x_as_times, Telling::never, nullptr},
    {NoteKind::natural_second_unknown, words::second_unknown, Telling::never, nullptr},
    {NoteKind::natural_unknown_in_bound, words::unknown_in_bound, Telling::never, nullptr},
    {NoteKind::natural_needs_unknown, words::needs_unknown, Telling::never, nullptr},
    {NoteKind::unsolved_outside_angle, words::unsolved_outside_angle, Telling::never, nullptr},
    {NoteKind::unsolved_angle_not_linear, words::unsolved_angle_not_linear, Telling::never,
     nullptr},
    {NoteKind::unsolved_not_algebraic, words::unsolved_not_algebraic, Telling::never, nullptr},
    {NoteKind::unsolved_power, words::unsolved_power, Telling::never, nullptr},
    {NoteKind::unsolved_inverse_of_unknown, words::unsolved_inverse_of_unknown, Telling::never,
     nullptr},
    {NoteKind::unsolved_too_large, words::unsolved_too_large, Telling::never, nullptr},
    {NoteKind::unsolved_check_failed, words::unsolved_check_failed, Telling::never, nullptr},
    {NoteKind::unsolved_bound, words::unsolved_bound, Telling::never, nullptr},
    {NoteKind::equation_without_module, words::equation_without_module, Telling::never, nullptr},
    {NoteKind::natural_not_a_value, words::not_a_value, Telling::never, nullptr},
    {NoteKind::picture_nothing_to_draw, words::picture_nothing_to_draw, Telling::never, nullptr},
    {NoteKind::picture_interval_empty, words::picture_interval_empty, Telling::never, nullptr},
    {NoteKind::picture_interval_too_wide, words::picture_interval_too_wide, Telling::never,
     nullptr},
    {NoteKind::picture_no_value, words::picture_no_value, Telling::never, nullptr},
    {NoteKind::picture_detail_cut, words::picture_detail_cut, Telling::never, nullptr},
    {NoteKind::natural_too_long, words::natural_too_long, Telling::never, nullptr},
    {NoteKind::natural_no_answer, words::no_answer, Telling::never, nullptr},
    {NoteKind::natural_answer_as_digits, words::answer_as_digits, Telling::never, nullptr},
};

static_assert(
    [] {
      if (std::size(note_wordings) != static_cast<std::size_t>(NoteKind::kind_count)) return false;
      for (std::size_t k = 0; k < std::size(note_wordings); ++k) {
        if (note_wordings[k].kind != static_cast<NoteKind>(k)) return false;
      }
      return true;
    }(),
    "note_wordings words every NoteKind once, in its order");

// True when the note's bytes of the expression are blanks alone, one at least.
bool about_blanks(const Expression& expression, const ReadingNote& note) {
  bool blanks = note.length > 0 && note.column + note.length <= expression.length;
  for (int k = 0; blanks && k < note.length; ++k) {
    const char c = expression.text[note.column + k];
    blanks = c == ' ' || c == '\t';
  }
  return blanks;
}

// True when the note is as `telling` says.
bool told(Telling telling, const Expression& expression, const ReadingNote& note) {
  switch (telling) {
    case Telling::never:
      return false;
    case Telling::one_byte:
      return note.length == 1;
    case Telling::blanks:
      return about_blanks(expression, note);
    case Telling::after_plus:
      return expression.text[note.column] == '+';
    case Telling::no_name:
      return note.name[0] == '\0';
    case Telling::at_line_end:
      return note.length == 0;
    case Telling::bar:
      return note.length == 1 && note.column < expression.length &&
             expression.text[note.column] == '|';
  }
  return false;
}

// Appends how the note's text was read, worded by its kind.
void append_note(ReportText& report, const Expression& expression, const ReadingNote& note) {
  const NoteWording& wording = note_wordings[static_cast<int>(note.kind)];
  const char* words = told(wording.telling, expression, note) ? wording.second : wording.wording;
  append_filled(report, words, {&expression, &note, note.digits, {}, {}});
}

// Appends "trigcalc: SOURCE:LINE:COLUMN: " for a note at `column` (1-based).
void append_place(ReportText& report, const ExpressionSource& source, long column) {
  append(report, command_name);
  append(report, ": ");
  append(report, source.standard_input ? standard_input_name : words::arguments_name);
  append(report, ":");
  append_number(report, source.number);
  append(report, ":");
  append_number(report, column);
  append(report, ": ");
}

// The mark under byte `at`: '^' where a note begins, '~' under a note's other bytes.
const char* caret_mark(const ReadingNotes& notes, int at) {
  const char* mark = " ";
  for (int k = 0; k < notes.count; ++k) {
    const ReadingNote& note = notes.notes[k];
    if (note.column == at) mark = "^";
    const bool within = at > note.column && at < note.column + note.length;
    if (*mark == ' ' && within) mark = "~";
  }
  return mark;
}

// Appends the expression as shown, indented, and under it a '^' at the first byte of every
// note and a '~' under its other bytes.
void append_expression_and_carets(ReportText& report, const Expression& expression,
                                  const ReadingNotes& notes) {
  constexpr char indent[] = "  ";
  append(report, indent);
  append_shown(report, expression.text, expression.length);
  append(report, "\n");
  append(report, indent);
  const auto* bytes = reinterpret_cast<const unsigned char*>(expression.text);
  for (int at = 0; at <= expression.length;) {
    char shown[shown_capacity];
    int width = 1;
    const int size = at < expression.length ? shown_character(bytes + at, expression.length - at,
                                                              texts_accented(), shown, width)
                                            : 1;
    const char* mark = caret_mark(notes, at);
    append(report, mark);  // a wide escape is marked on its first column, underlined after
    for (int w = 1; w < width; ++w) append(report, *mark == ' ' ? " " : "~");
    at += size;
  }
  while (report.length > 0 && report.text[report.length - 1] == ' ') --report.length;
  append(report, "\n");
}

// True when `text` begins as an argument does: a digit, a point or comma, a parenthesis, a
// minus or pi.
bool begins_an_argument(const char* text) {
  const char c = text[0];
  return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '(' || c == '-' ||
         (c == 'p' && text[1] == 'i');
}

// Appends, for a name given without its argument as one argument of the command line and
// its argument as the next ("trigcalc sen 30"), that each argument is one expression and how
// to give the line as one.
void append_one_expression_each(ReportText& report, const ExpressionSource& source,
                                const Expression& expression, const ReadingNotes& notes) {
  if (source.standard_input || source.next_argument == nullptr) return;
  if (!begins_an_argument(source.next_argument)) return;
  bool without_argument = false;
  for (int k = 0; k < notes.count; ++k) {
    without_argument = without_argument || notes.notes[k].kind == NoteKind::empty_argument;
  }
  if (!without_argument) return;
  const char* next = source.next_argument;
  const int next_length = static_cast<int>(std::strlen(next));
  const Filling joined = {&expression, nullptr, 0, expression, {next, shown_length(next_length)}};
  append_filled(report, words::one_expression_each, joined);
}

}  // namespace

bool report_notes(FILE* err, const ExpressionSource& source, const char* text, int length,
                  const ReadingNotes& notes) {
  if (notes.count == 0) return false;
  const Expression expression = {text, length};
  ReportText report;  // 8 KiB on the stack: a report is made and written in one call
  report.length = 0;
  append_place(report, source, column_of(text, length, notes.notes[0].column));
  append_note(report, expression, notes.notes[0]);
  append(report, "\n");
  append_expression_and_carets(report, expression, notes);
  for (int k = 1; k < notes.count; ++k) {
    const long column = column_of(text, length, notes.notes[k].column);
    append_filled(report, words::later_note, {&expression, nullptr, column, {}, {}});
    append_note(report, expression, notes.notes[k]);
    append(report, "\n");
  }
  append_one_expression_each(report, source, expression, notes);
  if (notes.dropped > 0) {
    append_filled(report, notes.dropped == 1 ? words::one_more_note : words::more_notes,
                  {&expression, nullptr, notes.dropped, {}, {}});
  }
  std::fwrite(report.text, 1, static_cast<std::size_t>(report.length), err);
  return true;
}

void report_exact_unavailable(FILE* err, bool form) {
  const ModuleState& state = exact_module_state();
  print_our_text(err, words::not_available, command_name, form ? "--form" : "--exact");
  switch (state.problem) {
    case ModuleProblem::none:
    case ModuleProblem::not_built:
      put_our_text(err, words::module_not_built);
      break;
    case ModuleProblem::no_directory:
      print_our_text(err, words::module_no_directory, state.where, state.detail);
      break;
    case ModuleProblem::not_found:
      print_our_text(err, words::module_not_found, state.detail, state.where);
      break;
    case ModuleProblem::not_regular:
      print_our_text(err, words::module_not_regular, state.where);
      break;
    case ModuleProblem::not_whole:
      print_our_text(err, words::module_not_whole, state.where, state.detail);
      break;
    case ModuleProblem::not_loaded:
      print_our_text(err, words::module_not_loaded, state.where, state.detail);
      break;
    case ModuleProblem::other_version:
      print_our_text(err, words::module_other_version, state.where, state.detail);
      break;
    case ModuleProblem::no_entry:
      print_our_text(err, words::module_no_entry, state.where, state.detail);
      break;
  }
  print_our_text(err, words::try_help, command_name);
}
