#include "cli/interactive_loop.h"

#include <cstdio>
#include <cstring>

#include "line/completion_words.h"
#include "terminal/line_editor.h"
#include "terminal/terminal.h"

namespace {

// What one read of the loop gave: a line of `length` bytes, nothing (Ctrl-C), or the end.
enum class LoopRead { line, nothing, end };

// Reads the next line through the editor after the prompt it draws; the end at once when the
// values so far cannot be written.
LoopRead read_edited(LineEditor& editor, const ExpressionPrinting& printing,
                     char (&line)[line_capacity], int& length) {
  if (!flush_output(*printing.output)) return LoopRead::end;
  const EditedLine edited = edit_line(editor, line, line_capacity);
  if (edited == EditedLine::end_of_input) return LoopRead::end;
  if (edited == EditedLine::cancelled) return LoopRead::nothing;
  length = static_cast<int>(std::strlen(line));  // the editor refuses more than fits
  return LoopRead::line;
}

// Reads the next line plainly after writing the prompt (a terminal without the editor).
LoopRead read_plain(InputReader& input, const ExpressionPrinting& printing,
                    char (&line)[line_capacity], int& length) {
  put_text(*printing.output, loop_prompt);
  length = read_input_line(input, line, line_capacity);
  return length < 0 ? LoopRead::end : LoopRead::line;
}

// While a line is read plainly: after Ctrl-C (the terminal driver has dropped what was
// typed) the prompt is asked again on a fresh line; after a resumption, where the cursor
// already stands on one, it is asked again there.
void prompt_again(void* context, int events) {
  if ((events & (terminal_interrupt | terminal_resumed)) == 0) return;
  OutputBuffer& output = *static_cast<OutputBuffer*>(context);
  if ((events & terminal_interrupt) != 0) put_text(output, "\n");
  put_text(output, loop_prompt);
  flush_output(output);
}

}  // namespace

int run_interactive_loop(InputReader& input, long& line_number,
                         const ExpressionPrinting& printing) {
  const EditorSetup setup = {completion_words_for(printing.format.natural), loop_prompt, nullptr,
                             line_capacity};
  LineEditor* editor = open_line_editor(stdin, stdout, setup);
  // The loop runs at a terminal whatever TERM says: the plain reader waits for the terminal's
  // events there too, to ask again after Ctrl-C or a resumption (TERM=dumb has no editor).
  input.terminal = true;
  TerminalEventAction ask_again = {prompt_again, printing.output};
  input.wait = wait_through_terminal_events;
  input.waiter = &ask_again;
  int reported = 0;
  for (;;) {
    char line[line_capacity];
    int length = 0;
    const LoopRead read = editor != nullptr ? read_edited(*editor, printing, line, length)
                                            : read_plain(input, printing, line, length);
    if (read == LoopRead::end || printing.output->error != 0) break;
    if (read == LoopRead::nothing) continue;
    ++line_number;
    if (length > 0 && evaluate_and_print(line, length, {true, line_number, nullptr}, printing))
      ++reported;
    // What was typed while the line was computed (a Ctrl-C for it included) is dropped, as the
    // dialogue drops it: a user who took the wait for the shell's may have typed commands.
    discard_pending_input(input);
    drop_type_ahead(stdin);
    if (*printing.unavailable) break;
  }
  close_line_editor(editor);
  input.wait = nullptr;
  put_text(*printing.output, "\n");  // Ctrl-D left the cursor after the prompt
  return reported;
}
