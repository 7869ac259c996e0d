// Line editing at a terminal: cursor movement, deletion, Home/End, completion of the
// caller's words and an in-memory history of this run's lines, for builds that have the
// editor.
#pragma once

#include <cstdio>

#include "console/name_completion.h"

struct LineEditor;  // the editor's state; one per dialogue at a terminal

// What the editor needs from its caller.
struct EditorSetup {
  CompletionWords completion;  // the words Tab completes
  const char* screen_text;     // what stands above the line on a freshly cleared screen
};

// An editor reading `in` and drawing on `out` when both are terminals that take console
// commands and the build has line editing; otherwise null, and lines are read plainly.
// After a resize or a resumption the editor clears the screen, writes `setup.screen_text`
// and draws the line again.
LineEditor* open_line_editor(FILE* in, FILE* out, const EditorSetup& setup);

// Lets the user edit one line and keeps its first capacity - 1 bytes, without the end of
// line, in `line`; a non-empty line joins the history. False at the end of input (Ctrl-D).
bool edit_line(LineEditor& editor, char* line, int capacity);

// Releases `editor` (null is allowed); the history goes with it.
void close_line_editor(LineEditor* editor);
