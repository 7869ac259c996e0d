// The exact mode's loadable module: its entries (exact/exact_module.h), a line's program made
// ready, computed exactly (exact/exact_value.h) and written, or the note of why it has no
// value.
#include <cstring>

#include "exact/bounded_child.h"
#include "exact/equation_answer.h"
#include "exact/exact_module.h"
#include "exact/exact_value.h"
#include "exact/form_finding.h"
#include "exact/prepare_program.h"
#include "program/program_functions.h"

namespace {

// The line's program made ready: one, kept for the module's life, its numbers reused line
// after line.
ExactProgram& line_program() {
  static ExactProgram program;
  static bool ready = false;
  if (!ready) init_exact_program(program);
  ready = true;
  return program;
}

// The note kind of an outcome other than a value, at `step` (null: none).
NoteKind failure_kind(int outcome, const ProgramStep* step) {
  switch (outcome) {
    case exact_too_large:
      return NoteKind::exact_too_large;
    case exact_undecided:
      return NoteKind::exact_undecided;
    case exact_beyond_limits:
      return NoteKind::exact_beyond_limits;
    case exact_out_of_memory:
      return NoteKind::exact_out_of_memory;
    case exact_out_of_time:
      return NoteKind::exact_out_of_time;
    case exact_interrupted:
      return NoteKind::exact_interrupted;
    case exact_stalled:
      return NoteKind::exact_stalled;
    case exact_ended_by_signal:
      return NoteKind::exact_ended_by_signal;
    case exact_no_child:
      return NoteKind::exact_no_child;
    default:  // exact_no_value, at the step that has none
      break;
  }
  const int code =
      step != nullptr ? static_cast<int>(step->code) : static_cast<int>(program_function);
  if (code == program_divide) return NoteKind::quotient_without_value;
  if (code == program_root) return NoteKind::root_without_value;
  if (code == program_power) return NoteKind::power_without_value;
  return NoteKind::function_without_value;
}

// The note of why the line has no value: at the step that ended it, the function there, or
// the digits to which an undecided value was known.
ReadingNote failure_note(const ExactProgram& program, const ExactOutcome& result) {
  const int outcome = result.end.outcome;
  const bool at_step = outcome == exact_no_value || outcome == exact_too_large;
  const ProgramStep* step = at_step && result.end.step >= 0 && result.end.step < program.step_count
                                ? program.steps + result.end.step
                                : nullptr;
  ReadingNote note = {failure_kind(outcome, step), 0, 0, TermFunction::none, 0, ""};
  if (step != nullptr) {
    note.column = step->column;
    note.length = step->length;
    if (step->code == program_function) note.function = term_function_of(step->argument);
  }
  if (outcome == exact_undecided) note.digits = result.bound_digits;
  if (outcome == exact_stalled || outcome == exact_ended_by_signal) {
    note.digits = result.child_detail;
  }
  return note;
}

int write_text(const char* value, char (&text)[exact_text_capacity]) {
  std::strcpy(text, value);
  return static_cast<int>(std::strlen(value));
}

}  // namespace

extern "C" void trigcalc_exact_stamp(ExactModuleStamp* stamp) {
  *stamp = exact_module_stamp();
}

extern "C" int trigcalc_exact_value_text(const Program* source, const NumberStore* store,
                                         int digits, char (*text_buffer)[exact_text_capacity],
                                         ExactForm* form, ReadingNote* note, bool* noted,
                                         const ExactWaiting* waiting) {
  char(&text)[exact_text_capacity] = *text_buffer;
  wait_for_children_through(waiting);
  ExactProgram& program = line_program();
  prepare_exact_program(*source, *store, program);
  static ExactOutcome result;  // the module's, as its program and stacks: one line at a time
  compute_exact_value(program, digits, result);
  if (form != nullptr) find_exact_form(program, result, *form);
  *noted = result.end.outcome != exact_value;
  if (*noted) {
    *note = failure_note(program, result);
    return write_no_value(text);
  }
  if (result.rounded.zero) return write_text("0", text);
  return write_exact_decimal(result.rounded.negative, result.rounded.digits, digits,
                             static_cast<long>(result.rounded.exponent), text);
}

namespace {

// An answer as the child leaves it for the parent.
struct ChildAnswer {
  int length;
  bool noted;
  ReadingNote note;
  char text[exact_answer_capacity];
};

// What the child answers.
struct AnswerWork {
  const Program* program;
  const NumberStore* store;
  const ProgramShape* shape;
  AnswerRequest request;
  ChildAnswer* answer;
};

// Writes the answer `context` asks for: in a child, or here for a light line.
void answer_in_child(void* context) {
  const AnswerWork& work = *static_cast<AnswerWork*>(context);
  ChildAnswer& answer = *work.answer;
  answer.length = write_line_answer(*work.program, *work.store, *work.shape, work.request,
                                    answer.text, answer.note, answer.noted);
}

// Bounds of an answer: a textbook equation takes milliseconds; one past what the solver holds
// stops here rather than hold the line.
constexpr ChildBounds answer_bounds = {5, rlim_t{768} << 20};

// An equation without the unknown, "sen 30 = 1/2": true when its left side less its right is
// exactly 0, false when it is not; "nan" where that has no value, with its note.
int compare_sides(const Program* program, const NumberStore* store,
                  char (*text)[exact_answer_capacity], ReadingNote* note, bool* noted,
                  const ExactWaiting* waiting) {
  static char value[exact_text_capacity];  // 1 KiB: kept off the stack
  trigcalc_exact_value_text(program, store, 1, &value, nullptr, note, noted, waiting);
  const char* answer = *noted                         ? no_value_text
                       : std::strcmp(value, "0") == 0 ? "verdadeiro"
                                                      : "falso";
  std::strcpy(*text, answer);
  return static_cast<int>(std::strlen(answer));
}

}  // namespace

extern "C" int trigcalc_exact_answer(const Program* program, const NumberStore* store,
                                     const ProgramShape* shape, const char* name, int name_length,
                                     int digits, bool unicode, char (*text)[exact_answer_capacity],
                                     ReadingNote* note, bool* noted, const ExactWaiting* waiting) {
  static ChildAnswer answer;  // 4 KiB: kept off the stack
  if (!shape->unknown) return compare_sides(program, store, text, note, noted, waiting);
  wait_for_children_through(waiting);
  answer = {0, false, {}, ""};
  AnswerWork work = {program, store, shape, {name, name_length, digits, unicode}, &answer};
  // A light line is answered here, at once; any other in a bounded child.
  ChildOutcome child = {ChildEnd::finished, 0};
  if (line_answer_is_light(*program, *store, *shape)) {
    answer_in_child(&work);
  } else {
    child = run_in_bounded_child(answer_in_child, &work, &answer, sizeof answer, answer_bounds);
  }
  if (child.end != ChildEnd::finished) {  // said as a value's child would say it
    static ExactOutcome result;
    result.end = {child_outcome(child, result), -1};
    answer.length = static_cast<int>(std::strlen("não sei resolver"));
    std::strcpy(answer.text, "não sei resolver");
    answer.note = failure_note(line_program(), result);
    answer.noted = true;
  }
  std::memcpy(*text, answer.text, static_cast<std::size_t>(answer.length) + 1);
  *noted = answer.noted;
  if (answer.noted) *note = answer.note;
  return answer.length;
}
