// The exact mode in a build without Arb and Calcium: never available.

#include "line/exact_line.h"

bool exact_mode_available() {
  return false;
}

const ModuleState& exact_module_state() {
  static const ModuleState state = {ModuleProblem::not_built, "", ""};
  return state;
}

void set_exact_waiting(const ExactWaiting&) {}

int exact_program_text(const Program&, const NumberStore&, int, char (&text)[exact_text_capacity],
                       ReadingNotes*, ExactForm* form) {
  if (form != nullptr) form->length = 0;
  return write_no_value(text);
}

int exact_answer_text(const NaturalReading&, const AnswerRequest&,
                      char (&text)[exact_answer_capacity], ReadingNotes* notes) {
  std::strcpy(text, "não sei resolver");
  add_note(notes, NoteKind::equation_without_module, 0, 0);
  return static_cast<int>(std::strlen(text));
}
