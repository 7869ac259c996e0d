// The unit circle for a line that is one function of an angle ("sen 150", "cos(2π/3)",
// "tg 225°"): the circle with the angle, the point (cos θ, sen θ) and its projections on the
// axes, and beside it the quadrant, the reference angle and the six functions' values, exact
// where the module finds a short form ("sen 150° = sen 30° = 1/2"). At a terminal in braille
// cells; as an SVG document; or, on a pipe, the text beside it alone.
#pragma once

#include "line/value_line.h"
#include "natural/natural_reading.h"
#include "picture/picture_text.h"
#include "picture/terminal_graph.h"

// True when `reading` holds no unknown and is one direct function of an angle, amplitude 1.
bool is_function_of_angle(const NaturalReading& reading);

// Writes the text about the angle of `reading`: its value, the quadrant, the reference angle
// and the six functions, one a line, each value as `format` asks (the exact form beside the
// digits when the module is there).
void write_angle_facts(const NaturalReading& reading, ValueFormat format, PictureText& text);

// Draws the unit circle of `reading` for a terminal of `size` with the facts beside it.
void draw_unit_circle(const NaturalReading& reading, ValueFormat format, TerminalSize size,
                      bool colours, PictureText& text);

// Writes the unit circle of `reading` as an SVG document, titled with the `length` bytes of
// `line`, the facts beside it.
void write_svg_unit_circle(const NaturalReading& reading, ValueFormat format, const char* line,
                           int length, PictureText& text);
