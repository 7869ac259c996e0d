// A graph drawn at a terminal in braille cells: the value labels at the left, the curves in a
// plot as wide as the terminal and about two thirds of its height, the angle labels under it,
// and one line of legend per expression (its sample of line, the expression as typed, its
// zeros and asymptotes). Each curve in its own colour when colours are allowed, otherwise in
// its own dashes.
#pragma once

#include "picture/graph_plan.h"
#include "picture/picture_text.h"

// The smallest terminal a graph is drawn for: narrower or lower ones get this size.
constexpr int graph_least_columns = 30;
constexpr int graph_least_rows = 12;

// The terminal's size, in cells.
struct TerminalSize {
  int columns;
  int rows;
};

// Draws the graph of `plan` (planned, not yet sampled) for the line at `line` into `text`,
// for a terminal of `size`, in colours when `colours`; notes in `notes`.
void draw_terminal_graph(GraphPlan& plan, const char* line, TerminalSize size, bool colours,
                         PictureText& text, ReadingNotes* notes);
