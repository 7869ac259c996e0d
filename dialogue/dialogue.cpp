#include "dialogue/dialogue.h"

#include "console/line_editor.h"
#include "console/terminal.h"
#include "dialogue/completion_words.h"
#include "dialogue/console_input.h"
#include "dialogue/dialogue_texts.h"
#include "dialogue/evaluate_line.h"
#include "dialogue/result_text.h"

namespace {

// One pass of the loop: prompt, read, evaluate, print, ask. False when the dialogue ends.
// `screen` says whether `out` is a terminal, asked once per dialogue rather than per pass.
bool run_pass(ConsoleInput& input, FILE* out, bool screen, int digits, int& answer) {
  LineState state;
  clear_line_state(state);
  discard_pending_input(input, out);
  if (std::ferror(out)) return false;
  if (screen) run_console_command(out, ConsoleCommand::clear_screen);
  std::fputs(prompt_text, out);
  if (read_line(input, state.line) < 0) return false;
  const double result = evaluate_line(state);
  write_result(out, result, digits);
  std::fputs(question_text, out);
  discard_pending_input(input, out);
  if (std::ferror(out)) return false;
  return read_answer(input, answer) != AnswerRead::end_of_input && answer == 1;
}

}  // namespace

int run_dialogue(FILE* in, FILE* out, int digits) {
  const EditorSetup editor_setup = {function_name_words, prompt_text};
  ConsoleInput input = {in, false, open_line_editor(in, out, editor_setup), is_terminal(in)};
  const bool screen = takes_console_commands(out);
  run_console_command(out, ConsoleCommand::colours);
  run_console_command(out, ConsoleCommand::window_size);
  std::fputs(help_text, out);
  std::fflush(out);
  int answer = 1;
  if (read_answer(input, answer) != AnswerRead::end_of_input && answer == 1) {
    while (run_pass(input, out, screen, digits, answer)) {
    }
  }
  close_line_editor(input.editor);
  restore_console(out);
  std::fflush(out);
  return 0;
}
