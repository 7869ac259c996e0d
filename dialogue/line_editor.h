// Line editing at a terminal: cursor movement, deletion, Home/End, completion of function
// names and an in-memory history of this run's lines, for builds that have the editor.
#pragma once

#include <cstdio>

#include "console/line_capacity.h"

struct LineEditor;  // the editor's state; one per dialogue at a terminal

// An editor reading `in` and drawing on `out` when both are terminals and the build has
// line editing; otherwise null, and lines are read plainly.
LineEditor* open_line_editor(FILE* in, FILE* out);

// Lets the user edit one line and keeps its first 99 bytes, without the end of line, in
// `line`; a non-empty line joins the history. False at the end of input (Ctrl-D).
bool edit_line(LineEditor& editor, char (&line)[line_capacity]);

// Releases `editor` (null is allowed); the history goes with it.
void close_line_editor(LineEditor* editor);
