// Line editing at a terminal: cursor movement, deletion, Home/End, completion of the
// caller's words, a history kept across runs in the history file, and a line that never
// holds more than it can give back, for builds that have the editor.
#pragma once

#include <cstdio>

#include "terminal/name_completion.h"

struct LineEditor;  // the editor's state; one per run at a terminal

// What the editor needs from its caller.
struct EditorSetup {
  CompletionWords completion;  // the words Tab completes
  const char* prompt;          // drawn by the editor before the line (ASCII); "" for none
  const char* screen_text;     // non-null: the editor owns the screen, and after a resize or a
                               // resumption clears it, writes this text and draws the line;
                               // null: it draws its prompt and line again where they stand
  int line_capacity;           // bytes of the caller's line, terminator included: a history
                               // line longer than capacity - 1 bytes is not brought back
};

// How editing a line ended.
enum class EditedLine {
  line,         // Enter: the line is in the caller's buffer
  cancelled,    // Ctrl-C in the interactive loop: the text stays on its row, the cursor on a
                // fresh one, and nothing joins the history
  end_of_input  // Ctrl-D on an empty line, the terminal gone, or a signal put off
};

// An editor reading `in` and drawing on `out` when both are terminals that take console
// commands and the build has line editing; otherwise null, and lines are read plainly.
// Brings back the history file's lines that it can give back as they were typed: at most
// setup.line_capacity - 1 bytes, characters of the locale's character type all through (a
// file that cannot be read: one warning on stderr, and the run goes on without the file).
// While there is a history file to save, SIGHUP and SIGTERM (and the dialogue's SIGINT) end
// the input rather than the program, which close_line_editor then ends.
LineEditor* open_line_editor(FILE* in, FILE* out, const EditorSetup& setup);

// Lets the user edit one line of at most capacity - 1 bytes (a key or a completion that would
// make it longer is refused with a bell) and puts it, without the end of line, in `line`,
// byte for byte as typed (a byte that begins no character of the locale's type included);
// a non-empty line joins the history. `line` is empty unless the result is `line`.
EditedLine edit_line(LineEditor& editor, char* line, int capacity);

// Adds this run's lines to the history file and releases `editor` (null is allowed); then,
// when a signal ended the input, ends the program as that signal does.
void close_line_editor(LineEditor* editor);
