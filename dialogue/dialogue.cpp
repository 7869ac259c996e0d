#include "dialogue/dialogue.h"

#include <cerrno>
#include <cstring>

#include "console/descriptor_io.h"
#include "console/diagnostics.h"
#include "console/input_reader.h"
#include "console/line_editor.h"
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

// Where the dialogue writes to and how.
struct DialogueOutput {
  OutputBuffer* transcript;  // every text and result line
  FILE* stream;              // the same descriptor as a stream, for the console commands
  bool screen;  // `stream` takes console commands, asked once per dialogue rather than per pass
  ValueFormat format;  // the digits of a result and its arithmetic
};

// Gives a console command after the transcript written so far, so that both arrive in order.
void give_command(const DialogueOutput& output, ConsoleCommand command) {
  if (!output.screen) return;
  flush_output(*output.transcript);
  run_console_command(output.stream, command);
  std::fflush(output.stream);
}

// Drops the rest of a line an answer was read from and, at a terminal, whatever was typed
// ahead: the bytes the reader holds and those the terminal still holds.
void drop_pending_input(DialogueInput& input) {
  discard_pending_input(input.reader);
  if (input.reader.terminal) drop_type_ahead(input.in);
}

// Reads the expression line through the editor when there is one; returns its length as
// typed (of which the line holds at most line_capacity - 1 bytes), or -1 at the end of input.
// An input that ended with the answer before (typed, then Ctrl-D twice) has ended for the
// editor too, as it has for a plain read.
int read_expression_line(DialogueInput& input, OutputBuffer& transcript,
                         char (&line)[line_capacity]) {
  if (input.editor == nullptr) return read_line(input.reader, line, line_capacity);
  if (input.reader.exhausted) return -1;
  flush_output(transcript);
  if (edit_line(*input.editor, line, line_capacity) != EditedLine::line) return -1;
  return static_cast<int>(std::strlen(line));  // the editor refuses more than fits
}

// What stands on the screen while an answer is awaited, to draw it again after the program
// was suspended and resumed, or the window resized: the help text, or the last pass.
struct DialogueScreen {
  const DialogueOutput* output;
  bool at_question;                  // false: the help text
  char typed[2 * line_capacity];     // the last line as the editor showed it, control bytes as ^X
                                     // (kept at a screen only)
  char result[value_line_capacity];  // its result line, "=VALUE\n\n"
};

// Clears the screen and writes again what stood on it; called by the reader while it waits.
// In the dialogue only a resize or a resumption can happen to the console.
void redraw_screen(void* context, int) {
  const DialogueScreen& screen = *static_cast<const DialogueScreen*>(context);
  OutputBuffer& transcript = *screen.output->transcript;
  give_command(*screen.output, ConsoleCommand::clear_screen);
  if (screen.at_question) {
    put_text(transcript, prompt_text);
    put_text(transcript, screen.typed);
    put_text(transcript, "\n");
    put_text(transcript, screen.result);
    put_text(transcript, question_text);
  } else {
    put_text(transcript, help_text);
  }
  flush_output(transcript);
}

// One pass of the loop: prompt, read, evaluate, print, ask. False when the dialogue ends.
// Nothing is flushed here: the reader flushes the output whenever it is about to wait.
bool run_pass(DialogueInput& input, const DialogueOutput& output, DialogueScreen& screen,
              char (&line)[line_capacity], int& answer) {
  OutputBuffer& transcript = *output.transcript;
  drop_pending_input(input);
  if (transcript.error != 0) return false;  // output gone while the answer was awaited
  give_command(output, ConsoleCommand::clear_screen);
  put_text(transcript, prompt_text);
  const int length = read_expression_line(input, transcript, line);
  if (length < 0) return false;
  if (output.screen) show_typed_text(line, screen.typed, sizeof screen.typed);
  put_bytes(transcript, screen.result,
            line_value_text(line, length, output.format, "=", "\n\n", screen.result, nullptr));
  screen.at_question = true;
  put_text(transcript, question_text);
  drop_pending_input(input);
  if (transcript.error != 0) return false;  // output gone: no answer waited for
  return read_answer(input.reader, answer) != AnswerRead::end_of_input && answer == 1;
}

// The end of the dialogue at a terminal: the shell's next prompt starts on a line of its own
// when the cursor still stands after the help text (Ctrl-D at the first question) or after an
// answer ended with Ctrl-D.
void leave_cursor_on_fresh_line(const DialogueInput& input, const DialogueOutput& output,
                                bool ended_at_help_text) {
  const bool after_text = ended_at_help_text || typed_line_unended(input.reader);
  if (after_text && input.reader.terminal && is_terminal(output.stream)) {
    put_text(*output.transcript, "\n");
  }
}

// The status the dialogue ends with: 0, unless the input or output failed for a reason other
// than a reader of the output that went away.
int final_status(InputReader& reader, OutputBuffer& transcript) {
  const bool delivered = close_output(transcript);
  if (!delivered && transcript.error != EPIPE) report_write_error(transcript.error);
  if (reader.error != 0) report_read_error(reader.error);
  return (delivered || transcript.error == EPIPE) && reader.error == 0 ? 0 : 1;
}

}  // namespace

int run_dialogue(FILE* in, FILE* out, OutputBuffer& transcript, ValueFormat format) {
  const EditorSetup editor_setup = {function_name_words, "", prompt_text, line_capacity};
  DialogueInput input;
  input.in = in;
  input.editor = open_line_editor(in, out, editor_setup);
  open_input_reader(input.reader, descriptor_of(in), &transcript, is_terminal(in));
  const DialogueOutput output = {&transcript, out, takes_console_commands(out), format};
  DialogueScreen screen;
  screen.output = &output;
  screen.at_question = false;
  if (output.screen) {
    input.reader.on_console_event = redraw_screen;
    input.reader.event_context = &screen;
  }
  give_command(output, ConsoleCommand::colours);
  give_command(output, ConsoleCommand::window_size);
  put_text(transcript, help_text);
  char line[line_capacity];  // every reader ends the line it stores with its terminator
  int answer = 1;
  const AnswerRead first = read_answer(input.reader, answer);
  if (first != AnswerRead::end_of_input && answer == 1) {
    while (run_pass(input, output, screen, line, answer)) {
    }
  }
  close_line_editor(input.editor);
  leave_cursor_on_fresh_line(input, output, first == AnswerRead::end_of_input);
  flush_output(transcript);
  put_terminal_back();
  return final_status(input.reader, transcript);
}
