// What a graph of a line in the unknown shows, worked out once for either drawing (braille
// cells at a terminal, or SVG): the interval (the line's, or one period, or one turn), each
// expression's samples, zeros, poles and trace, the range of values and both axes' ticks.
#pragma once

#include "natural/natural_reading.h"
#include "picture/curve.h"
#include "picture/picture_text.h"
#include "picture/plot_axes.h"
#include "term/reading_notes.h"

// The widest interval drawn, in turns (36,000° or 200π); and the largest bound's size, past
// which the doubles no longer tell neighbouring columns apart.
constexpr double interval_turn_capacity = 100;
constexpr double interval_bound_capacity = 1e9;
// Cost units (picture/curve.h) one graph may spend beyond its samples: to trace all its curves,
// and to find their zeros and poles. Together within 50 ms (bench/picture_bench.cpp).
constexpr int graph_trace_cost_capacity = 1000000;
constexpr int graph_mark_cost_capacity = 300000;

// One expression of the line as a curve.
struct GraphPart {
  CurveFunction function;
  int column;  // the expression's bytes in the line, for its legend
  int length;
  CurveSamples samples;
  CurveMarks marks;
  CurveTrace trace;
};

struct GraphPlan {
  bool radians;  // the unknown is in radians
  bool unicode;  // π and ° in the labels
  int part_count;
  GraphPart parts[program_part_capacity];
  double x_low, x_high;  // the interval
  double y_low, y_high;  // the values shown
  AxisTicks x_ticks, y_ticks;
};

// The interval of `reading`'s unknown into `low` and `high`: the line's, or one period of its
// expressions together (expression_period), or one turn from 0 where they have none. False,
// with a note in `notes`, for an interval that is empty, has a bound that is no number, or is
// wider or further out than the capacities above.
bool graph_interval(const NaturalReading& reading, double& low, double& high, ReadingNotes* notes);

// The expressions of `reading` (which holds the unknown) as the parts of `plan`, with the
// interval; false, noted, when the interval is refused.
bool plan_graph(const NaturalReading& reading, bool unicode, GraphPlan& plan, ReadingNotes* notes);

// Samples every part with `count` samples (one per column of the drawing), finds their zeros
// and poles, and sets the range of values shown.
void sample_graph(GraphPlan& plan, int count);

// Traces every part in `frame` (the plan's interval and values, the drawing's size), noting
// in `notes` a part drawn with less detail than asked for and a part without any value.
void trace_graph(GraphPlan& plan, const PlotFrame& frame, ReadingNotes* notes);

// Zeros and asymptotes a legend lists; "…" stands for the rest.
constexpr int legend_mark_capacity = 8;

// Appends "   zeros: …" and "   assíntotas: …" for `marks`, the angles in the plan's unit, for
// the legend of either drawing.
void put_marks_legend(const GraphPlan& plan, const CurveMarks& marks, PictureText& text);

// The first column and the bytes of the steps `first` up to `end` of `program` in the line.
void steps_extent(const Program& program, int first, int end, int& column, int& length);
