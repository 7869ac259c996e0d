#include "dialogue/dialogue.h"

#include "console/input_reader.h"
#include "console/line_editor.h"
#include "console/read_descriptor.h"
#include "console/terminal.h"
#include "dialogue/dialogue_texts.h"
#include "line/completion_words.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"

namespace {

// Where the dialogue reads from: its buffered reader, and at a terminal the line editor.
struct DialogueInput {
  FILE* in;            // the stream behind the reader, for the terminal layer
  LineEditor* editor;  // reads expression lines at a terminal; null reads them plainly
  InputReader reader;  // reads answers, and lines when there is no editor
};

// Writes the result line "=VALUE\n\n".
void write_result(FILE* out, double value, int digits) {
  char line[result_line_capacity];
  const int length = format_result_line(value, digits, "=", "\n\n", line);
  std::fwrite(line, 1, static_cast<std::size_t>(length), out);
}

// Where the dialogue writes to and how.
struct DialogueOutput {
  FILE* out;    // the transcript
  bool screen;  // `out` takes console commands, asked once per dialogue rather than per pass
  int digits;   // significant digits of a result
};

// Drops the rest of a line an answer was read from and, at a terminal, whatever was typed
// ahead: the bytes the reader holds and those the terminal still holds.
void drop_pending_input(DialogueInput& input) {
  discard_pending_input(input.reader);
  if (input.reader.terminal) drop_type_ahead(input.in);
}

// Reads the expression line through the editor when there is one; false at the end of input.
bool read_expression_line(DialogueInput& input, char (&line)[line_capacity]) {
  if (input.editor != nullptr) {
    return edit_line(*input.editor, line, line_capacity) == EditedLine::line;
  }
  return read_line(input.reader, line, line_capacity) >= 0;
}

// One pass of the loop: prompt, read, evaluate, print, ask. False when the dialogue ends.
// Nothing is flushed here: the reader flushes the output whenever it is about to wait.
bool run_pass(DialogueInput& input, const DialogueOutput& output, LineState& state, int& answer) {
  FILE* out = output.out;
  clear_line_state(state);
  drop_pending_input(input);
  if (std::ferror(out)) return false;
  if (output.screen) run_console_command(out, ConsoleCommand::clear_screen);
  std::fputs(prompt_text, out);
  if (!read_expression_line(input, state.line)) return false;
  write_result(out, evaluate_line(state), output.digits);
  std::fputs(question_text, out);
  drop_pending_input(input);
  if (std::ferror(out)) return false;  // output gone while the line was read: no answer waited for
  return read_answer(input.reader, answer) != AnswerRead::end_of_input && answer == 1;
}

}  // namespace

int run_dialogue(FILE* in, FILE* out, int digits) {
  const EditorSetup editor_setup = {function_name_words, "", prompt_text};
  DialogueInput input;
  input.in = in;
  input.editor = open_line_editor(in, out, editor_setup);
  open_input_reader(input.reader, descriptor_of(in), out, is_terminal(in));
  const DialogueOutput output = {out, takes_console_commands(out), digits};
  run_console_command(out, ConsoleCommand::colours);
  run_console_command(out, ConsoleCommand::window_size);
  std::fputs(help_text, out);
  LineState state;
  int answer = 1;
  if (read_answer(input.reader, answer) != AnswerRead::end_of_input && answer == 1) {
    while (run_pass(input, output, state, answer)) {
    }
  }
  close_line_editor(input.editor);
  // An answer typed and ended with Ctrl-D leaves the cursor after it: the shell's prompt
  // that follows starts on a line of its own.
  if (typed_line_unended(input.reader) && is_terminal(out)) std::fputc('\n', out);
  std::fflush(out);
  put_terminal_back();
  return 0;
}
