#include "dialogue/dialogue.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dialogue/dialogue_texts.h"
#include "io/descriptor_io.h"
#include "io/diagnostics.h"
#include "io/input_reader.h"
#include "io/text_form.h"
#include "line/completion_words.h"
#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/result_text.h"
#include "report/report.h"
#include "terminal/line_editor.h"
#include "terminal/terminal.h"
#include "text/messages.h"

namespace {

// Where the dialogue reads from: its buffered reader, and at a terminal the line editor.
struct DialogueInput {
  FILE* in;            // the stream behind the reader, for the terminal layer
  LineEditor* editor;  // reads expression lines at a terminal; null reads them plainly
  InputReader reader;  // reads answers, and lines when there is no editor
  long lines;          // lines read so far, answers and expressions, for the reports' places
};

// Where the dialogue writes to and how.
struct DialoguePrinting {
  OutputBuffer* output;  // the transcript: every text and result line
  FILE* stream;          // the same descriptor as a stream, for the terminal commands
  bool screen;  // `stream` takes terminal commands, asked once per dialogue rather than per pass
  ValueFormat format;  // the digits of a result and its arithmetic
  LastAnswer* last;    // the dialogue's last answer, for "ans" with --natural
};

// Gives a terminal command after the transcript written so far, so that both arrive in order.
void give_command(const DialoguePrinting& printing, TerminalCommand command) {
  if (!printing.screen) return;
  flush_output(*printing.output);
  run_terminal_command(printing.stream, command);
  std::fflush(printing.stream);
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
int read_expression_line(DialogueInput& input, OutputBuffer& output, char (&line)[line_capacity]) {
  if (input.editor == nullptr) return read_input_line(input.reader, line, line_capacity);
  if (input.reader.exhausted) return -1;
  flush_output(output);
  if (edit_line(*input.editor, line, line_capacity) != EditedLine::line) return -1;
  return static_cast<int>(std::strlen(line));  // the editor refuses more than fits
}

// What stands on the screen while an answer is awaited, to draw it again after the program
// was suspended and resumed, or the window resized: the help text, or the last pass.
struct DialogueScreen {
  const DialoguePrinting* printing;
  bool at_question;                  // false: the help text
  char typed[2 * line_capacity];     // the last line as the editor showed it, control bytes as ^X
                                     // (kept at a screen only)
  char result[value_line_capacity];  // its result line, "=VALUE\n\n"
};

// Clears the screen and writes again what stood on it; called by the reader while it waits.
// In the dialogue only a resize or a resumption can happen to the terminal.
void redraw_screen(void* context, int) {
  const DialogueScreen& screen = *static_cast<const DialogueScreen*>(context);
  OutputBuffer& output = *screen.printing->output;
  give_command(*screen.printing, TerminalCommand::clear_screen);
  if (screen.at_question) {
    put_text(output, prompt_text);
    put_text(output, screen.typed);
    put_text(output, "\n");
    put_text(output, screen.result);
    put_text(output, question_text);
  } else {
    put_text(output, help_text);
  }
  flush_output(output);
}

// How a pass of the loop ended: the dialogue goes on, ends, or ends because the exact mode
// asked for cannot be had (its module is loaded at the first line).
enum class PassEnd { goes_on, ends, exact_unavailable };

// One pass of the loop: prompt, read, evaluate, print, ask. Nothing is flushed here: the
// reader flushes the output whenever it is about to wait.
PassEnd run_pass(DialogueInput& input, const DialoguePrinting& printing, DialogueScreen& screen,
                 char (&line)[line_capacity], int& answer) {
  OutputBuffer& output = *printing.output;
  drop_pending_input(input);
  if (output.error != 0) return PassEnd::ends;  // output gone while the answer was awaited
  give_command(printing, TerminalCommand::clear_screen);
  put_text(output, prompt_text);
  const int length = read_expression_line(input, output, line);
  if (length < 0) return PassEnd::ends;
  ++input.lines;
  if (printing.format.exact && !exact_mode_available()) return PassEnd::exact_unavailable;
  if (printing.screen) show_typed_text(line, screen.typed, sizeof screen.typed);
  // With the natural reading, a line read otherwise than written, or without a value, is
  // reported on standard error after its value: the transcript itself stays as it is.
  ReadingNotes notes;
  clear_notes(notes);
  ReadingNotes* taken = printing.format.natural ? &notes : nullptr;
  bool worded = false;
  const int written = line_value_text(line, length, printing.format, "=", "\n\n", screen.result,
                                      taken, &worded, printing.last);
  if (worded) put_our_text(output, screen.result);
  if (!worded) put_bytes(output, screen.result, written);
  if (notes.count > 0) {
    flush_output(output);
    report_notes(stderr, {true, input.lines, nullptr}, line, shown_length(length), notes);
  }
  screen.at_question = true;
  put_text(output, question_text);
  drop_pending_input(input);
  if (output.error != 0) return PassEnd::ends;  // output gone: no answer waited for
  const bool answered = read_answer(input.reader, answer) != AnswerRead::end_of_input;
  ++input.lines;
  return answered && answer == 1 ? PassEnd::goes_on : PassEnd::ends;
}

// The end of the dialogue at a terminal: the shell's next prompt starts on a line of its own
// when the cursor still stands after the help text (Ctrl-D at the first question) or after an
// answer ended with Ctrl-D.
void leave_cursor_on_fresh_line(const DialogueInput& input, const DialoguePrinting& printing,
                                bool ended_at_help_text) {
  const bool after_text = ended_at_help_text || typed_line_unended(input.reader);
  if (after_text && input.reader.terminal && is_terminal(printing.stream)) {
    put_text(*printing.output, "\n");
  }
}

// The status the dialogue ends with: 0, unless the input or output failed for a reason other
// than a reader of the output that went away.
int final_status(InputReader& reader, OutputBuffer& output) {
  const bool delivered = close_output(output);
  if (!delivered && output.error != EPIPE) report_write_error(output.error);
  if (reader.error != 0) report_read_error(reader.error);
  return (delivered || output.error == EPIPE) && reader.error == 0 ? 0 : 1;
}

// Piped, a first answer that is not a number is most likely an expression meant for
// "trigcalc -": once the transcript is out (a screen cleared for the prompt would wipe it
// earlier), one line on standard error says how expressions are read from a pipe. The
// transcript stays as it is: the dialogue went on as after the answer 1.
void point_to_dash(const DialogueInput& input, AnswerRead first) {
  if (first != AnswerRead::nothing_converted || input.reader.terminal) return;
  print_our_text(stderr, words::first_answer_not_a_number, command_name, command_name);
}

}  // namespace

int run_dialogue(FILE* in, FILE* out, OutputBuffer& output, ValueFormat format) {
  const EditorSetup editor_setup = {completion_words_for(format.natural), "", prompt_text,
                                    line_capacity};
  DialogueInput input;
  input.in = in;
  input.editor = open_line_editor(in, out, editor_setup);
  open_input_reader(input.reader, descriptor_of(in), &output, is_terminal(in));
  static LastAnswer last;  // the dialogue's last answer: a few KiB, kept off the stack
  last.held = false;
  const DialoguePrinting printing = {&output, out, takes_terminal_commands(out), format, &last};
  DialogueScreen screen;
  screen.printing = &printing;
  screen.at_question = false;
  TerminalEventAction redraw = {redraw_screen, &screen};
  if (printing.screen) {
    input.reader.wait = wait_through_terminal_events;
    input.reader.waiter = &redraw;
  }
  give_command(printing, TerminalCommand::colours);
  give_command(printing, TerminalCommand::window_size);
  put_text(output, help_text);
  char line[line_capacity];  // every reader ends the line it stores with its terminator
  int answer = 1;
  const AnswerRead first = read_answer(input.reader, answer);
  input.lines = 1;
  PassEnd end = PassEnd::ends;
  if (first != AnswerRead::end_of_input && answer == 1) {
    do {
      end = run_pass(input, printing, screen, line, answer);
    } while (end == PassEnd::goes_on);
  }
  close_line_editor(input.editor);
  leave_cursor_on_fresh_line(input, printing, first == AnswerRead::end_of_input);
  flush_output(output);
  put_terminal_back();
  point_to_dash(input, first);
  const int status = final_status(input.reader, output);
  if (end != PassEnd::exact_unavailable) return status;
  report_exact_unavailable(stderr, format.form != FormShown::none);
  return exit_usage;
}
