// The pictures of a line, the one entry the front ends call: a line in the unknown as a graph
// (braille cells at a terminal, or an SVG document) or as a table of values; a line that is
// one function of an angle as its unit circle (or, for a table, the facts about the angle);
// any other line, in a table, as its value. The front end gives the terminal's size and
// whether colours are allowed, and writes the text out; nothing here does input or output.
#pragma once

#include "line/value_line.h"
#include "picture/picture_text.h"
#include "picture/terminal_graph.h"
#include "term/reading_notes.h"

// What is drawn.
enum class PictureKind : unsigned char {
  none,   // no picture: the value alone
  graph,  // braille cells at a terminal
  svg,    // one SVG document
  table   // a table of values, a row a line
};

struct PictureRequest {
  PictureKind kind;
  TerminalSize size;   // the terminal's, for a graph
  bool colours;        // a graph's curves in ANSI colours
  ValueFormat format;  // the digits, the arithmetic and the forms of a table; `unicode` for π, °
};

// Writes the picture of the line of `length` bytes at `line` as `request` asks into `text`.
// Notes in `notes` (null: none), finished: why the line could not be read, why nothing or
// less was drawn (an interval refused, a line with nothing to draw, a curve without values or
// drawn with less detail than asked for).
void write_line_picture(const char* line, int length, const PictureRequest& request,
                        PictureText& text, ReadingNotes* notes);
