#include "picture/braille_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The bit of each dot of a cell, by its column (0, 1) and row (0 to 3).
constexpr unsigned char dot_bits[2][4] = {{0x01, 0x02, 0x04, 0x40}, {0x08, 0x10, 0x20, 0x80}};

// The ANSI colours of the inks: the terminal's own for the axes, then the curves'.
constexpr const char* ink_colours[ink_count] = {"",         "",         "\033[31m", "\033[34m",
                                                "\033[32m", "\033[35m", "\033[33m", "\033[36m",
                                                "\033[91m", "\033[94m"};

// Clips the line from (x0, y0) to (x1, y1) to [0, right] × [0, bottom] (Liang and Barsky);
// false when nothing of it is inside.
bool clip_line(double& x0, double& y0, double& x1, double& y1, double right, double bottom) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0, right - x0, y0, bottom - y0};
  double enter = 0, leave = 1;
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0) enter = std::max(enter, t);
    if (p[k] > 0) leave = std::min(leave, t);
  }
  if (enter > leave) return false;
  x1 = x0 + leave * dx;
  y1 = y0 + leave * dy;
  x0 += enter * dx;
  y0 += enter * dy;
  return true;
}

}  // namespace

void clear_canvas(BrailleCanvas& canvas, int columns, int rows) {
  canvas.columns = std::max(1, std::min(columns, canvas_column_capacity));
  canvas.rows = std::max(1, std::min(rows, canvas_row_capacity));
  std::memset(canvas.dots, 0, sizeof canvas.dots);
  std::memset(canvas.inks, 0, sizeof canvas.inks);
  std::memset(canvas.glyphs, 0, sizeof canvas.glyphs);
}

void set_dot(BrailleCanvas& canvas, int x, int y, unsigned char ink) {
  if (x < 0 || y < 0 || x >= 2 * canvas.columns || y >= 4 * canvas.rows) return;
  canvas.dots[y / 4][x / 2] |= dot_bits[x % 2][y % 4];
  canvas.inks[y / 4][x / 2] = ink;
}

void draw_line(BrailleCanvas& canvas, double x0, double y0, double x1, double y1, unsigned char ink,
               unsigned char pattern) {
  if (!clip_line(x0, y0, x1, y1, 2 * canvas.columns - 1, 4 * canvas.rows - 1)) return;
  const int steps = static_cast<int>(std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))));
  for (int s = 0; s <= steps; ++s) {
    const double t = steps == 0 ? 0 : static_cast<double>(s) / steps;
    const int x = static_cast<int>(std::lround(x0 + t * (x1 - x0)));
    const int y = static_cast<int>(std::lround(y0 + t * (y1 - y0)));
    if ((pattern >> (x % 8) & 1) != 0) set_dot(canvas, x, y, ink);
  }
}

void draw_dotted_column(BrailleCanvas& canvas, int x, unsigned char ink) {
  for (int y = 0; y < 4 * canvas.rows; y += 2) set_dot(canvas, x, y, ink);
}

void put_canvas_text(BrailleCanvas& canvas, int column, int row, const char* text,
                     unsigned char ink) {
  if (row < 0 || row >= canvas.rows) return;
  for (const char* c = text; *c != '\0' && column < canvas.columns; ++column) {
    int size = 1;
    while (!is_character_start(c[size]) && size < canvas_glyph_capacity) ++size;
    if (column >= 0) {
      std::memset(canvas.glyphs[row][column], 0, canvas_glyph_capacity);
      std::memcpy(canvas.glyphs[row][column], c, static_cast<std::size_t>(size));
      canvas.inks[row][column] = ink;
    }
    c += size;
  }
}

const char* ink_colour(unsigned char ink) {
  return ink < ink_count ? ink_colours[ink] : "";
}

void put_braille(PictureText& text, unsigned char dots) {
  const char cell[3] = {'\xe2', static_cast<char>(0xA0 + (dots >> 6)),
                        static_cast<char>(0x80 + (dots & 0x3F))};  // U+2800 + dots
  put_picture_bytes(text, cell, 3);
}

void write_canvas_row(const BrailleCanvas& canvas, int row, bool colours, PictureText& text) {
  const char* shown = "";
  for (int c = 0; c < canvas.columns; ++c) {
    const char* glyph = canvas.glyphs[row][c];
    const unsigned char dots = canvas.dots[row][c];
    const char* colour = glyph[0] != '\0' || dots != 0 ? ink_colour(canvas.inks[row][c]) : "";
    if (colours && std::strcmp(colour, shown) != 0) {
      put_picture_text(text, colour[0] != '\0' ? colour : "\033[0m");
      shown = colour;
    }
    if (glyph[0] != '\0') {
      int size = 0;
      while (size < canvas_glyph_capacity && glyph[size] != '\0') ++size;
      put_picture_bytes(text, glyph, size);
    } else if (dots != 0) {
      put_braille(text, dots);
    } else {
      put_picture_text(text, " ");
    }
  }
  if (colours && shown[0] != '\0') put_picture_text(text, "\033[0m");
}

void draw_dotted_line(BrailleCanvas& canvas, double x0, double y0, double x1, double y1,
                      unsigned char ink) {
  const int steps = static_cast<int>(std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))));
  for (int s = 0; s <= steps; s += 2) {
    const double t = steps == 0 ? 0 : static_cast<double>(s) / steps;
    set_dot(canvas, static_cast<int>(std::lround(x0 + t * (x1 - x0))),
            static_cast<int>(std::lround(y0 + t * (y1 - y0))), ink);
  }
}
