// A drawing in Unicode braille cells: each cell of the terminal holds 2 × 4 dots, so that a
// drawing of C columns and R rows of cells has 2C × 4R dots. Each cell keeps the ink it was
// last drawn with (a curve's colour, or the axes'), and may hold a character of text instead
// of its dots. Written out as UTF-8, with ANSI colours when asked for.
#pragma once

#include "picture/picture_text.h"

constexpr int canvas_column_capacity = 400;  // cells across
constexpr int canvas_row_capacity = 120;     // cells down
constexpr int canvas_glyph_capacity = 4;     // bytes of one character of text in a cell

// Inks: 0 none, axis_ink for the axes, asymptotes and the circle, then one per curve.
constexpr unsigned char axis_ink = 1;
constexpr unsigned char first_curve_ink = 2;
constexpr int ink_count = first_curve_ink + 8;

// Which columns of dots a curve is drawn in without colours, repeating every 8: each curve
// its own dashes. Index 0 is solid.
constexpr unsigned char dash_patterns[8] = {0xFF, 0x0F, 0x33, 0x03, 0x3F, 0x1B, 0x77, 0x05};

struct BrailleCanvas {
  int columns;                                                      // cells across
  int rows;                                                         // cells down
  unsigned char dots[canvas_row_capacity][canvas_column_capacity];  // bits as in U+2800
  unsigned char inks[canvas_row_capacity][canvas_column_capacity];
  char glyphs[canvas_row_capacity][canvas_column_capacity][canvas_glyph_capacity];
};

// An empty canvas of `columns` × `rows` cells (each held to its capacity).
void clear_canvas(BrailleCanvas& canvas, int columns, int rows);

// Sets the dot at column `x`, row `y` of dots (from the top left) in `ink`; nothing outside.
void set_dot(BrailleCanvas& canvas, int x, int y, unsigned char ink);

// Draws the line from (x0, y0) to (x1, y1), in dots, the part inside the canvas, in the dot
// columns `pattern` keeps (bit x mod 8).
void draw_line(BrailleCanvas& canvas, double x0, double y0, double x1, double y1, unsigned char ink,
               unsigned char pattern);

// A dotted vertical line at dot column `x`: every other dot.
void draw_dotted_column(BrailleCanvas& canvas, int x, unsigned char ink);

// Puts the UTF-8 `text` in the cells from (`column`, `row`) on, one character a cell, in
// `ink`, as far as the canvas goes.
void put_canvas_text(BrailleCanvas& canvas, int column, int row, const char* text,
                     unsigned char ink);

// The ANSI colour of each ink ("" for the terminal's own).
const char* ink_colour(unsigned char ink);

// Appends row `row` of the canvas to `text`: an empty cell as a blank, the others as their
// braille character or text, each in its ink's colour when `colours` (reset at its end).
void write_canvas_row(const BrailleCanvas& canvas, int row, bool colours, PictureText& text);

// Appends the braille character of `dots` (bits as in U+2800).
void put_braille(PictureText& text, unsigned char dots);

// A dotted line from (x0, y0) to (x1, y1): every other dot along it.
void draw_dotted_line(BrailleCanvas& canvas, double x0, double y0, double x1, double y1,
                      unsigned char ink);
