// The ticks and labels of a drawing's two axes: the angles in the line's unit (degrees at
// multiples of 90°, or of 30° or 45° where there is room; radians at multiples of π/2, or of
// π/6 or π/4) and the values at 1, 2 or 5 times a power of ten.
#pragma once

#include "picture/angle_text.h"
#include "picture/picture_text.h"

// Ticks one axis holds at most.
constexpr int tick_capacity = 64;

struct AxisTicks {
  int count;
  double values[tick_capacity];
  char labels[tick_capacity][angle_text_capacity];
  int widths[tick_capacity];  // each label's width in characters
};

// The characters `text` takes on a terminal: one per UTF-8 character.
int text_width(const char* text);

// Ticks for the angles from `low` to `high` whose labels, each with two characters between
// them, fit in `room` characters; the finest step that fits among the usual ones for the
// width, the coarsest when none fits.
void angle_ticks(double low, double high, bool radians, bool unicode, int room, AxisTicks& ticks);

// Ticks for values from `low` to `high` at most `most` of them (2 at least), which widen the
// range to a multiple of their step at both ends.
void value_ticks(double& low, double& high, int most, AxisTicks& ticks);
